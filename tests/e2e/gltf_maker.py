"""glTF 2.0 scenes written for the importer's tests: textured boxes and panels on nodes, key
frames of translation and rotation, a camera, with the buffer embedded as a data URI."""

import base64
import json
import struct

# Corners of the 6 faces of a unit box, counter-clockwise seen from outside, with normals.
FACES = [((1, 0, 0), [(1, -1, -1), (1, 1, -1), (1, 1, 1), (1, -1, 1)]),
         ((-1, 0, 0), [(-1, -1, 1), (-1, 1, 1), (-1, 1, -1), (-1, -1, -1)]),
         ((0, 1, 0), [(-1, 1, -1), (-1, 1, 1), (1, 1, 1), (1, 1, -1)]),
         ((0, -1, 0), [(-1, -1, 1), (-1, -1, -1), (1, -1, -1), (1, -1, 1)]),
         ((0, 0, 1), [(-1, -1, 1), (1, -1, 1), (1, 1, 1), (-1, 1, 1)]),
         ((0, 0, -1), [(1, -1, -1), (-1, -1, -1), (-1, 1, -1), (1, 1, -1)])]
PANEL = [((0, 0, 1), [(-1, -1, 0), (1, -1, 0), (1, 1, 0), (-1, 1, 0)])]


class Gltf:
    def __init__(self):
        self.doc = {"asset": {"version": "2.0"}, "scenes": [{"nodes": []}], "scene": 0, "nodes": [],
                    "meshes": [], "materials": [], "images": [], "textures": [], "accessors": [],
                    "bufferViews": [], "animations": []}
        self.blob = b""

    def _accessor(self, values, kind, component=5126, target=None):
        fmt = {5126: "f", 5123: "H"}[component]
        data = struct.pack("<%d%s" % (len(values), fmt), *values)
        data += b"\0" * (-len(data) % 4)
        view = {"buffer": 0, "byteOffset": len(self.blob), "byteLength": len(data)}
        if target:
            view["target"] = target
        self.doc["bufferViews"].append(view)
        self.blob += data
        width = {"SCALAR": 1, "VEC2": 2, "VEC3": 3, "VEC4": 4}[kind]
        accessor = {"bufferView": len(self.doc["bufferViews"]) - 1, "componentType": component,
                    "count": len(values) // width, "type": kind}
        if kind == "VEC3" and component == 5126:
            accessor["min"] = [min(values[i::3]) for i in range(3)]
            accessor["max"] = [max(values[i::3]) for i in range(3)]
        if kind == "SCALAR" and component == 5126:
            accessor["min"], accessor["max"] = [min(values)], [max(values)]
        self.doc["accessors"].append(accessor)
        return len(self.doc["accessors"]) - 1

    def material(self, picture, blend=False):
        """A material whose base colour texture is the file `picture` beside the scene."""
        self.doc["images"].append({"uri": picture})
        self.doc["textures"].append({"source": len(self.doc["images"]) - 1})
        m = {"pbrMetallicRoughness": {"baseColorTexture": {"index": len(self.doc["textures"]) - 1}}}
        if blend:
            m["alphaMode"] = "BLEND"
        self.doc["materials"].append(m)
        return len(self.doc["materials"]) - 1

    def mesh(self, material, size=1.0, faces=FACES):
        pos, nor, uv, idx = [], [], [], []
        for normal, corners in faces:
            base = len(pos) // 3
            # glTF's uv start at the picture's top left: the face's top corners get v = 0.
            for corner, (u, v) in zip(corners, [(0, 1), (1, 1), (1, 0), (0, 0)]):
                pos += [c * size for c in corner]
                nor += list(normal)
                uv += [u, v]
            idx += [base, base + 1, base + 2, base, base + 2, base + 3]
        prim = {"attributes": {"POSITION": self._accessor(pos, "VEC3", target=34962),
                               "NORMAL": self._accessor(nor, "VEC3", target=34962),
                               "TEXCOORD_0": self._accessor(uv, "VEC2", target=34962)},
                "indices": self._accessor(idx, "SCALAR", 5123, target=34963), "material": material}
        self.doc["meshes"].append({"primitives": [prim]})
        return len(self.doc["meshes"]) - 1

    def node(self, name, mesh=None, translation=(0, 0, 0), camera=None):
        n = {"name": name, "translation": list(translation)}
        if mesh is not None:
            n["mesh"] = mesh
        if camera is not None:
            self.doc.setdefault("cameras", []).append(
                {"type": "perspective", "perspective": {"yfov": 0.8, "znear": 0.1, "aspectRatio": 1.5}})
            n["camera"] = len(self.doc["cameras"]) - 1
        self.doc["nodes"].append(n)
        self.doc["scenes"][0]["nodes"].append(len(self.doc["nodes"]) - 1)
        return len(self.doc["nodes"]) - 1

    def keys(self, node, times, path, values):
        """Key frames of `path` (translation or rotation) for `node`, linear."""
        if not self.doc["animations"]:
            self.doc["animations"].append({"samplers": [], "channels": []})
        a = self.doc["animations"][0]
        kind = "VEC4" if path == "rotation" else "VEC3"
        a["samplers"].append({"input": self._accessor(times, "SCALAR"),
                              "output": self._accessor([c for v in values for c in v], kind),
                              "interpolation": "LINEAR"})
        a["channels"].append({"sampler": len(a["samplers"]) - 1, "target": {"node": node, "path": path}})

    def text(self):
        doc = dict(self.doc)
        doc["buffers"] = [{"byteLength": len(self.blob),
                           "uri": "data:application/octet-stream;base64," + base64.b64encode(self.blob).decode()}]
        return json.dumps({k: v for k, v in doc.items() if v != []})
