"""DXF files against real DXF readers and writers: a mesh Vellum exports opens in ezdxf and assimp
with the mesh's faces and layers, and a textured cube written by ezdxf imports as that cube.

usage: dxf_tools_test.py VELLUM_CLI DXF_PROBE LEVELS_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import ezdxf
except ImportError:
    sys.exit("ezdxf is missing: install the Debian package python3-ezdxf (scripts/deps.sh)")

cli, probe, levels = sys.argv[1:4]
needed = [f for f in ("test1.phd", "test1.tr2", "test1_tr3.tr2", "test1.tr4", "test1.trc") if not os.path.isfile(os.path.join(levels, f))]
if needed:
    print(f"skipped: {', '.join(needed)} not found in {levels}")
    sys.exit(77)
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def export(level, mesh, out):
    run = subprocess.run([cli, "export-dxf", level, str(mesh), out], capture_output=True, text=True)
    check(run.returncode == 0, f"export-dxf {level} {mesh}: {run.stderr}")
    m = re.search(r"(\d+) vertices, (\d+) rectangles, (\d+) triangles", run.stdout)
    return int(m.group(2)), int(m.group(3))


tmp = tempfile.mkdtemp()
try:
    # Vellum -> ezdxf and assimp, for a few meshes of every version.
    assimp = shutil.which("assimp")
    check(assimp is not None, "assimp is missing: install the Debian package assimp-utils (scripts/deps.sh)")
    for level, meshes in (("test1.phd", (0, 7)), ("test1.tr2", (3,)), ("test1.tr4", (5, 40)), ("test1.trc", (12,))):
        for mesh in meshes:
            out = os.path.join(tmp, f"{level}-{mesh}.dxf")
            rects, tris = export(os.path.join(levels, level), mesh, out)
            doc = ezdxf.readfile(out)
            faces = doc.modelspace().query("3DFACE")
            check(len(faces) == rects + tris, f"{out}: ezdxf sees {len(faces)} faces, expected {rects + tris}")
            used = sorted({f.dxf.layer for f in faces})
            table = sorted(l.dxf.name for l in doc.layers if l.dxf.name.startswith("TEXTUR_"))
            check(used == table, f"{out}: face layers {used} differ from the layer table {table}")
            if faces:
                # A triangle repeats its third corner; rectangles have four corners.
                tri_faces = [f for f in faces if f.dxf.vtx2 == f.dxf.vtx3]
                check(len(tri_faces) >= tris, f"{out}: ezdxf sees {len(tri_faces)} triangles, expected {tris}")
            if assimp:
                info = subprocess.run([assimp, "info", out], capture_output=True, text=True).stdout
                m = re.search(r"^Faces:\s+(\d+)", info, re.M)
                check(m is not None, f"{out}: assimp could not read it:\n{info[-500:]}")
                if m:
                    # assimp splits every rectangle into two triangles.
                    check(int(m.group(1)) == 2 * rects + tris,
                          f"{out}: assimp sees {m.group(1)} faces, expected {2 * rects + tris}")
                for layer in used:
                    check(f"({layer})" in info, f"{out}: assimp has no mesh for layer {layer}")

    # Refusals of export-dxf: exit status as for the other level commands.
    for args, status in (([os.path.join(levels, "test1.tr4"), "99999"], 64), ([os.path.join(tmp, "none.tr4"), "0"], 1),
                         ([os.path.join(levels, "test1.tr4"), "x"], 64)):
        run = subprocess.run([cli, "export-dxf", *args, os.path.join(tmp, "refused.dxf")], capture_output=True)
        check(run.returncode == status, f"export-dxf {args}: exit {run.returncode}, expected {status}")
        check(not os.path.exists(os.path.join(tmp, "refused.dxf")), f"export-dxf {args} wrote a file")

    # ezdxf -> Vellum: a cube of side 2 DXF units centred on the origin, one texture per side.
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    c = [(x, y, z) for z in (-1, 1) for y in (-1, 1) for x in (-1, 1)]
    sides = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    for i, side in enumerate(sides):
        layer = f"TEXTUR_{i + 3:04d}"
        doc.layers.add(layer)
        msp.add_3dface([c[k] for k in side], dxfattribs={"layer": layer})
    cube = os.path.join(tmp, "cube.dxf")
    doc.saveas(cube)
    run = subprocess.run([probe, cube], capture_output=True, text=True)
    check(run.returncode == 0, f"the ezdxf cube is refused: {run.stderr}")
    lines = run.stdout.splitlines()
    check(lines[:1] == ["vertices 8 rectangles 6 triangles 0"], f"cube counts: {lines[:1]}")

    def level_units(p):  # DXF (X, Y, Z) -> level (x, y, z) = (X * 100, -Z * 100, -Y * 100)
        return f"{p[0] * 100},{-p[2] * 100},{-p[1] * 100}"

    expected = [f"rectangle {i + 3} " + " ".join(level_units(c[k]) for k in side) for i, side in enumerate(sides)]
    check(lines[1:] == expected, "cube faces:\n  got      " + "\n           ".join(lines[1:]) +
          "\n  expected " + "\n           ".join(expected))
finally:
    shutil.rmtree(tmp)

sys.exit(1 if failures else 0)
