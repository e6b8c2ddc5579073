// `vellum-cli edit` commands for static-mesh boxes and flags, vertex remap and DXF import.
#pragma once

#include "edit_cli.h"

std::string run_import_dxf(edit_session& session, const std::vector<std::string>& args);
std::string run_import_mesh(edit_session& session, const std::vector<std::string>& args);
std::string run_import_moveable(edit_session& session, const std::vector<std::string>& args);
std::string run_remap(edit_session& session, const std::vector<std::string>& args);
std::string run_box(edit_session& session, const std::vector<std::string>& args);
std::string run_flags(edit_session& session, const std::vector<std::string>& args);
