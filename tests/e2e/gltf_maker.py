"""glTF 2.0 scenes written for the importer's tests: textured boxes and panels on nodes, key
frames of translation and rotation, a camera, with the buffer embedded as a data URI. And hostile
ones, written small: a node chain thousands deep, one mesh on very many nodes, a .glb whose JSON
chunk claims gigabytes, a scene whose .bin or .mtl is a FIFO."""

import base64
import json
import os
import struct

import harness as h

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

    def add(self, kind, item):
        """Appends `item` to the document's list `kind`; returns its index."""
        self.doc.setdefault(kind, []).append(item)
        return len(self.doc[kind]) - 1

    def _accessor(self, values, kind, component=5126, target=None):
        data = struct.pack("<%d%s" % (len(values), {5126: "f", 5123: "H"}[component]), *values)
        data += b"\0" * (-len(data) % 4)
        view = self.add("bufferViews", {"buffer": 0, "byteOffset": len(self.blob), "byteLength": len(data),
                                        **({"target": target} if target else {})})
        self.blob += data
        width = {"SCALAR": 1, "VEC2": 2, "VEC3": 3, "VEC4": 4}[kind]
        accessor = {"bufferView": view, "componentType": component, "count": len(values) // width, "type": kind}
        if kind in ("VEC3", "SCALAR") and component == 5126:
            accessor["min"], accessor["max"] = ([f(values[i::width]) for i in range(width)] for f in (min, max))
        return self.add("accessors", accessor)

    def material(self, picture, blend=False):
        """A material whose base colour texture is the file `picture` beside the scene."""
        texture = self.add("textures", {"source": self.add("images", {"uri": picture})})
        return self.add("materials", {"pbrMetallicRoughness": {"baseColorTexture": {"index": texture}},
                                      **({"alphaMode": "BLEND"} if blend else {})})

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
        return self.add("meshes", {"primitives": [prim]})

    def node(self, name, mesh=None, translation=(0, 0, 0), camera=None):
        n = {"name": name, "translation": list(translation), **({"mesh": mesh} if mesh is not None else {})}
        if camera is not None:
            n["camera"] = self.add("cameras", {"type": "perspective",
                                               "perspective": {"yfov": 0.8, "znear": 0.1, "aspectRatio": 1.5}})
        self.doc["scenes"][0]["nodes"].append(self.add("nodes", n))
        return len(self.doc["nodes"]) - 1

    def keys(self, node, times, path, values):
        """Key frames of `path` (translation or rotation) for `node`, linear."""
        if not self.doc["animations"]:
            self.add("animations", {"samplers": [], "channels": []})
        a = self.doc["animations"][0]
        kind = "VEC4" if path == "rotation" else "VEC3"
        a["channels"].append({"target": {"node": node, "path": path}, "sampler": len(a["samplers"])})
        a["samplers"].append({"input": self._accessor(times, "SCALAR"), "interpolation": "LINEAR",
                              "output": self._accessor([c for v in values for c in v], kind)})

    def text(self, uri=None):
        """The scene's JSON, its buffer in the file `uri` or (by default) embedded."""
        uri = uri or "data:application/octet-stream;base64," + base64.b64encode(self.blob).decode()
        doc = dict(self.doc, buffers=[{"byteLength": len(self.blob), "uri": uri}])
        return json.dumps({k: v for k, v in doc.items() if v != []})


def _base(nodes):
    """A red box on the given nodes (made from the mesh's index), the scene's roots listed."""
    g = Gltf()
    g.doc["materials"].append({"pbrMetallicRoughness": {"baseColorFactor": [0.8, 0.2, 0.2, 1]}})
    g.doc["nodes"], roots = nodes(g.mesh(0))
    g.doc["scenes"][0]["nodes"] = roots
    return g


def chain(path, depth):
    """A box on the last node of a chain `depth` nodes deep."""
    g = _base(lambda mesh: ([{"name": "n%d" % i, "children": [i + 1]} for i in range(depth - 1)]
                            + [{"name": "leaf", "mesh": mesh}], [0]))
    h.write_file(path, g.text())


def instances(path, count):
    """One box on `count` nodes in a grid."""
    side = int(count ** 0.5) + 1
    g = _base(lambda mesh: ([{"mesh": mesh, "translation": [3 * (i % side), 0, 3 * (i // side)]}
                             for i in range(count)], list(range(count))))
    h.write_file(path, g.text())


def lying_glb(path, claimed=2_000_000_000):
    """A small .glb whose JSON chunk header says `claimed` bytes."""
    body = _base(lambda mesh: ([{"mesh": mesh}], [0])).text().encode()
    body += b" " * (-len(body) % 4)
    head = struct.pack("<IIIII", 0x46546C67, 2, 12 + 8 + len(body), claimed, 0x4E4F534A)
    h.write_file(path, head + body)


def fifo_bin(folder):
    """box.gltf whose buffer is box.bin, a FIFO; returns the scene's path."""
    path = os.path.join(folder, "box.gltf")
    h.write_file(path, _base(lambda mesh: ([{"mesh": mesh}], [0])).text("box.bin"))
    os.mkfifo(os.path.join(folder, "box.bin"))
    return path


def fifo_mtl(folder):
    """tri.obj whose material library tri.mtl is a FIFO; returns the scene's path."""
    path = os.path.join(folder, "tri.obj")
    h.write_file(path, "mtllib tri.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl red\nf 1 2 3\n")
    os.mkfifo(os.path.join(folder, "tri.mtl"))
    return path
