# Runs inside Blender (blender -b --factory-startup --python blender_round_trip.py -- JOBS.json
# REPORT.json): for each job, imports a glTF file Vellum wrote, reports what Blender sees, applies
# the job's edits as a modeller would, and exports the result as .glb and/or .obj.
import json
import sys
import time

import numpy

numpy.bool = bool  # Blender 3.4's glTF add-on still uses the alias numpy 1.24 removed
import bpy  # noqa: E402


def blender_local(p):
    # glTF Y-up to Blender Z-up, as the glTF importer converts mesh data.
    return (p[0], -p[2], p[1])


def near(a, b):
    return all(abs(x - y) < 1e-4 for x, y in zip(a, b))


def mesh_object(name):
    obj = bpy.data.objects.get(name)
    if obj is None or obj.type != 'MESH':
        raise RuntimeError("no mesh object " + name)
    return obj


def move_vertex(edit):
    me = mesh_object(edit["object"]).data
    at, by = blender_local(edit["position"]), blender_local(edit["delta"])
    moved = 0
    for v in me.vertices:
        if near(v.co, at):
            v.co = (v.co[0] + by[0], v.co[1] + by[1], v.co[2] + by[2])
            moved += 1
    me.update()
    return moved


def rotate_face_uvs(edit):
    # Every corner of the face gets the UV its next corner had: the texture turns one step.
    me = mesh_object(edit["object"]).data
    corners = [blender_local(p) for p in edit["corners"]]
    uv = me.uv_layers.active.data

    def corner_of(co):
        for i, c in enumerate(corners):
            if near(co, c):
                return i
        return -1

    polys = [p for p in me.polygons
             if all(corner_of(me.vertices[v].co) >= 0 for v in p.vertices)
             and me.materials[p.material_index].name.split('.')[0] == edit["material"]]
    old = {}
    for p in polys:
        for li in p.loop_indices:
            old[corner_of(me.vertices[me.loops[li].vertex_index].co)] = tuple(uv[li].uv)
    n = len(corners)
    for p in polys:
        for li in p.loop_indices:
            k = corner_of(me.vertices[me.loops[li].vertex_index].co)
            uv[li].uv = old[(k + 1) % n]
    me.update()
    return len(polys)


def paint_vertex(edit):
    me = mesh_object(edit["object"]).data
    at = blender_local(edit["position"])
    layer = me.color_attributes.active_color or me.color_attributes[0]
    painted = 0
    for loop in me.loops:
        if near(me.vertices[loop.vertex_index].co, at):
            if layer.domain == 'CORNER':
                layer.data[loop.index].color = edit["colour"]
            else:
                layer.data[loop.vertex_index].color = edit["colour"]
            painted += 1
    me.update()
    return painted


def colours_per_vertex():
    # Blender 3.4's glTF exporter scrambles the face-corner byte colours its importer makes;
    # converted to per-vertex float colours (Object Data > Color Attributes > Convert) they export
    # as they are.
    for obj in [o for o in bpy.data.objects if o.type == 'MESH']:
        me = obj.data
        bpy.context.view_layer.objects.active = obj
        for name in [a.name for a in me.color_attributes]:
            me.attributes.active = me.attributes[name]
            bpy.ops.geometry.attribute_convert(mode='GENERIC', domain='POINT', data_type='FLOAT_COLOR')


def clear():
    # Faster than resetting the whole session between files.
    for data in (bpy.data.objects, bpy.data.meshes, bpy.data.materials, bpy.data.images,
                 bpy.data.textures, bpy.data.node_groups, bpy.data.collections):
        for item in list(data):
            data.remove(item)


def main():
    args = sys.argv[sys.argv.index("--") + 1:]
    jobs = json.load(open(args[0]))
    report = []
    started = time.time()
    bpy.ops.wm.read_factory_settings(use_empty=True)
    for job in jobs:
        clear()
        bpy.ops.import_scene.gltf(filepath=job["in"])
        colours_per_vertex()
        meshes = [o for o in bpy.data.objects if o.type == 'MESH']
        seen = {
            "in": job["in"],
            "objects": len(meshes),
            "faces": sum(len(o.data.polygons) for o in meshes),
            "materials": sorted({m.name for m in bpy.data.materials}),
            "textured_without_image": sorted(
                m.name for m in bpy.data.materials if m.name.startswith("TEXTUR_") and not any(
                    n.type == 'TEX_IMAGE' and n.image is not None for n in m.node_tree.nodes)),
            "images": len(bpy.data.images),
        }
        done = []
        for edit in job.get("edits", []):
            kind = edit["kind"]
            count = {"move": move_vertex, "rotate": rotate_face_uvs, "paint": paint_vertex}[kind](edit)
            done.append([kind, count])
        seen["edits"] = done
        if job.get("glb"):
            bpy.ops.export_scene.gltf(filepath=job["glb"], export_format='GLB', export_colors=True)
        if job.get("obj"):
            bpy.ops.wm.obj_export(filepath=job["obj"], export_selected_objects=False)
        report.append(seen)
    json.dump({"jobs": report, "seconds": time.time() - started}, open(args[1], "w"))


try:
    main()
except Exception as e:  # report and exit non-zero so that the test sees the failure
    print("blender_round_trip failed:", repr(e), file=sys.stderr)
    sys.exit(1)
