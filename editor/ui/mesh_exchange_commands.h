// File > Export to DXF and Import DXF, and Special > Remap Vertices: the selected mesh exchanged
// with a DXF file, or two of its vertices renumbered.
#pragma once

#include "command_host.h"

class remap_window;

class mesh_exchange_commands {
  public:
    mesh_exchange_commands(command_host host, remap_window& remap) : host_(std::move(host)), remap_(remap) {}

    void export_dxf();
    void import_dxf();
    void remap_vertices();

  private:
    command_host host_;
    remap_window& remap_;
};
