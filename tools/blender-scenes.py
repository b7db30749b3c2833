"""Small Blender scenes for the importer's tests, exported with Blender's own exporters.

    blender -b --factory-startup --python-exit-code 1 --python tools/blender-scenes.py -- OUTDIR

Builds each scene from nothing, exports it to .glb, .fbx (default settings, and once more with
FBX_SCALE_ALL), .dae and .obj in OUTDIR, and writes OUTDIR/NAME.json with Blender's own numbers:
world positions (Blender's z-up frame, metres) of every object and of the camera, and the
camera's view direction, at whole seconds after the scene's first frame. Pictures are made here
(8 x 8 pixels) and packed into the .glb; the other formats name them beside the scene.
"""

import json
import math
import os
import sys

import bpy

FPS = 8  # few frames: the baked FBX and Collada keys stay small
SECONDS = [0, 2, 5, 8, 10]  # the moments recorded (frame = 1 + seconds * FPS)


def out_dir():
    args = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    return os.path.abspath(args[0] if args else "tests/data/blender")


def empty_scene():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    bpy.context.preferences.edit.keyframe_new_interpolation_type = "LINEAR"
    scene = bpy.context.scene
    scene.render.fps = FPS
    scene.frame_start, scene.frame_end = 1, 1 + 10 * FPS
    return scene


def picture(folder, name, colours):
    """An 8 x 8 checker of two colours, saved as NAME.png beside the exports."""
    image = bpy.data.images.new(name, 8, 8)
    pixels = []
    for y in range(8):
        for x in range(8):
            pixels += list(colours[(x // 4 + y // 4) % 2]) + [1.0]
    image.pixels = pixels
    image.filepath_raw = os.path.join(folder, name + ".png")
    image.file_format = "PNG"
    image.save()
    return image


def material(name, colour=None, image=None):
    m = bpy.data.materials.new(name)
    m.use_nodes = True
    shader = m.node_tree.nodes["Principled BSDF"]
    if colour:
        shader.inputs["Base Color"].default_value = list(colour) + [1.0]
    if image:
        texture = m.node_tree.nodes.new("ShaderNodeTexImage")
        texture.image = image
        m.node_tree.links.new(texture.outputs["Color"], shader.inputs["Base Color"])
    return m


def cube(name, location, size=2.0, scale=(1, 1, 1), turn=(0, 0, 0), look=None):
    bpy.ops.mesh.primitive_cube_add(size=size, location=location)
    o = bpy.context.active_object
    o.name = o.data.name = name
    o.scale = scale
    o.rotation_euler = [math.radians(a) for a in turn]
    if look:
        o.data.materials.append(look)
    return o


def keys(o, seconds, path, values):
    for second, value in zip(seconds, values):
        setattr(o, path, value)
        o.keyframe_insert(data_path=path, frame=1 + second * FPS)


def camera(location, aim):
    bpy.ops.object.camera_add(location=location)
    c = bpy.context.active_object
    c.name = c.data.name = "view"
    c.rotation_euler = (c.location - aim).to_track_quat("Z", "Y").to_euler()
    bpy.context.scene.camera = c
    return c


def lamp(location):
    bpy.ops.object.light_add(type="POINT", location=location)
    bpy.context.active_object.name = "lamp"
    bpy.context.active_object.data.energy = 800


def walk_scene(folder):
    """A textured ground, a red still cube, a textured cube keyed over 10 s, a camera, a lamp."""
    from mathutils import Vector
    ground = material("ground", image=picture(folder, "grass", [(0.2, 0.6, 0.2), (0.9, 0.9, 0.9)]))
    crate = material("crate", image=picture(folder, "crate", [(0.8, 0.1, 0.7), (0.1, 0.2, 0.9)]))
    bpy.ops.mesh.primitive_plane_add(size=12)
    bpy.context.active_object.name = "ground"
    bpy.context.active_object.data.materials.append(ground)
    cube("post", (-3, 3, 1), look=material("red", colour=(0.8, 0.05, 0.05)))
    runner = cube("runner", (-4, 0, 1), look=crate)
    keys(runner, [0, 5, 10], "location", [(-4, 0, 1), (4, 0, 1), (4, 4, 1)])
    camera(Vector((0, -16, 7)), Vector((0, 0, 1)))
    lamp((2, -3, 6))


def rig_scene(folder):
    """A scaled turned bar moving beside its still twin, a child riding a moving parent, a bar
    yawing a full turn, an object keyed from 5 s only, a camera keyed over the 10 s."""
    from mathutils import Vector
    grey = material("grey", colour=(0.5, 0.5, 0.5))
    blue = material("blue", colour=(0.1, 0.2, 0.8))
    cube("twin", (0, 4, 1), scale=(2, 0.2, 0.2), turn=(0, 0, 45), look=grey)
    bar = cube("bar", (0, 0, 1), scale=(2, 0.2, 0.2), turn=(0, 0, 45), look=blue)
    keys(bar, [0, 10], "location", [(0, 0, 1), (0, -4, 1)])
    carrier = cube("carrier", (-6, 0, 0.5), size=1, look=grey)
    keys(carrier, [0, 10], "location", [(-6, 0, 0.5), (-6, 0, 4.5)])
    rider = cube("rider", (-6, 0, 2), size=1, look=blue)
    rider.parent = carrier
    rider.matrix_parent_inverse = carrier.matrix_world.inverted()
    spinner = cube("spinner", (6, 0, 1), scale=(1.5, 0.25, 0.25), look=blue)
    keys(spinner, [0, 2, 4, 6, 8], "rotation_euler",
         [(0, 0, math.radians(a)) for a in (0, 90, 180, 270, 360)])
    late = cube("late", (3, -3, 0.5), size=1, look=grey)
    keys(late, [5, 10], "location", [(3, -3, 0.5), (3, -3, 5.5)])
    view = camera(Vector((0, -22, 9)), Vector((0, 0, 1)))
    keys(view, [0, 10], "location", [(0, -22, 9), (4, -20, 9)])
    lamp((0, -4, 8))


def numbers(scene):
    """World positions of every object and the camera's view at the recorded moments."""
    out = {"fps": FPS, "frame_start": scene.frame_start, "moments": {}}
    for seconds in SECONDS:
        scene.frame_set(scene.frame_start + seconds * FPS)
        at = {}
        for o in scene.objects:
            m = o.matrix_world
            at[o.name] = {"position": list(m.translation),
                          "size": [m.col[k].to_3d().length for k in range(3)]}
            if o.type == "CAMERA":
                at[o.name]["look"] = list(-m.col[2].to_3d().normalized())
        out["moments"][str(seconds)] = at
    scene.frame_set(scene.frame_start)
    return out


def export(folder, name):
    path = os.path.join(folder, name)
    # glTF leaves cameras and lights out unless asked.
    bpy.ops.export_scene.gltf(filepath=path + ".glb", export_cameras=True, export_lights=True)
    if name == "walk":
        bpy.ops.export_scene.fbx(filepath=path + ".fbx")  # Blender's defaults: centimetres
        # The units written otherwise: still 2 m cubes once imported.
        bpy.ops.export_scene.fbx(filepath=path + "-all.fbx", apply_scale_options="FBX_SCALE_ALL")
    else:
        # One take of the whole scene: the defaults write a take per object and action (25
        # here, 200 KB), which lose the objects' start times.
        bpy.ops.export_scene.fbx(filepath=path + ".fbx", bake_anim_use_all_actions=False,
                                 bake_anim_use_nla_strips=False)
    bpy.ops.wm.collada_export(filepath=path + ".dae")
    bpy.ops.wm.obj_export(filepath=path + ".obj")


def main():
    folder = out_dir()
    os.makedirs(folder, exist_ok=True)
    for name, build in (("walk", walk_scene), ("rig", rig_scene)):
        scene = empty_scene()
        build(folder)
        with open(os.path.join(folder, name + ".json"), "w") as f:
            json.dump(numbers(scene), f, indent=1, sort_keys=True)
        export(folder, name)


main()
