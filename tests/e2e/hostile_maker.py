"""Hostile scene files for the importer, written small: a node chain thousands deep, one mesh on
very many nodes, a .glb whose JSON chunk claims gigabytes, a scene whose .bin or .mtl is a FIFO.
Run as a script to write them all at full size into a folder (for measuring by hand)."""

import json
import os
import struct
import sys

import gltf_maker


def _base(textured=False):
    g = gltf_maker.Gltf()
    material = g.material("red.jpg") if textured else None
    if material is None:
        g.doc["materials"].append({"pbrMetallicRoughness": {"baseColorFactor": [0.8, 0.2, 0.2, 1]}})
        material = 0
    return g, g.mesh(material)


def chain(path, depth):
    """A box on the last node of a chain `depth` nodes deep."""
    g, mesh = _base()
    nodes = [{"name": "n%d" % i, "children": [i + 1]} for i in range(depth - 1)]
    nodes.append({"name": "leaf", "mesh": mesh})
    g.doc["nodes"], g.doc["scenes"][0]["nodes"] = nodes, [0]
    with open(path, "w") as f:
        f.write(g.text())


def instances(path, count):
    """One box on `count` nodes in a grid."""
    g, mesh = _base()
    side = int(count ** 0.5) + 1
    g.doc["nodes"] = [{"mesh": mesh, "translation": [3 * (i % side), 0, 3 * (i // side)]} for i in range(count)]
    g.doc["scenes"][0]["nodes"] = list(range(count))
    with open(path, "w") as f:
        f.write(g.text())


def lying_glb(path, claimed=2_000_000_000):
    """A small .glb whose JSON chunk header says `claimed` bytes."""
    g, _ = _base()
    body = g.text().encode()
    body += b" " * (-len(body) % 4)
    data = struct.pack("<III", 0x46546C67, 2, 12 + 8 + len(body)) + struct.pack("<II", claimed, 0x4E4F534A) + body
    with open(path, "wb") as f:
        f.write(data)


def fifo_bin(folder):
    """box.gltf whose buffer is box.bin, a FIFO; returns the scene's path."""
    g, _ = _base()
    doc = dict(g.doc)
    doc["buffers"] = [{"byteLength": len(g.blob), "uri": "box.bin"}]
    path = os.path.join(folder, "box.gltf")
    with open(path, "w") as f:
        json.dump({k: v for k, v in doc.items() if v != []}, f)
    os.mkfifo(os.path.join(folder, "box.bin"))
    return path


def fifo_mtl(folder):
    """tri.obj whose material library tri.mtl is a FIFO; returns the scene's path."""
    path = os.path.join(folder, "tri.obj")
    with open(path, "w") as f:
        f.write("mtllib tri.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl red\nf 1 2 3\n")
    os.mkfifo(os.path.join(folder, "tri.mtl"))
    return path


if __name__ == "__main__":
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    chain(os.path.join(out, "chain.gltf"), 30000)
    instances(os.path.join(out, "forest.gltf"), 1000000)
    lying_glb(os.path.join(out, "lying.glb"))
    for name, make in (("fifobin", fifo_bin), ("fifomtl", fifo_mtl)):
        os.makedirs(os.path.join(out, name), exist_ok=True)
        make(os.path.join(out, name))
