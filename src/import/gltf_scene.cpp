// A glTF file's nodes, triangle meshes, cameras and lamps built into an aiScene as assimp's
// glTF 2 reader builds them, so the converter sees the same scene (materials: gltf_looks).
// Import side. A mesh's indices live in one block its faces point into (12 bytes a triangle).
#include <cstring>
#include <memory>

#include "import/gltf_build.h"
#include "import/gltf_reader.h"

namespace {

#define MAX_NODE_LEVELS 1001 // the converter walks 1000 levels and says so when there are more
#define MAX_VERTICES (1u << 30)

bool isFloat(const GltfAccessor& a, int width) {
    return a.componentType == 5126 && a.width == width;
}

const GltfAccessor* accessorOf(GltfBuild& b, int index, const std::string& what) {
    if (index < 0 || (size_t)index >= b.doc.accessors.size()) {
        b.error = what + " names accessor " + std::to_string(index) + ", which is not in the file";
        return nullptr;
    }
    return &b.doc.accessors[index];
}

// Reads float vectors of `width` into aiVector3D (uv: v flipped as assimp does).
aiVector3D* readVectors(GltfBuild& b, int index, int width, unsigned count) {
    if (!accessorFits(b.doc, b.files, index, b.error) || !spendBudget(b, index))
        return nullptr;
    std::unique_ptr<aiVector3D[]> out(new aiVector3D[count]);
    if (width == 3) {
        if (!readPacked(b.doc, b.files, index, (unsigned char*)out.get(), b.error))
            return nullptr;
        return out.release();
    }
    std::vector<float> uv(2 * (size_t)count);
    if (!readPacked(b.doc, b.files, index, (unsigned char*)uv.data(), b.error))
        return nullptr;
    for (unsigned i = 0; i < count; i++)
        out[i] = aiVector3D(uv[2 * i], 1 - uv[2 * i + 1], 0);
    return out.release();
}

// The primitive's triangles as a block of corners; drops those naming missing vertices.
bool readTriangles(GltfBuild& b, const GltfPrimitive& p, aiMesh& mesh) {
    uint64_t count = mesh.mNumVertices;
    std::vector<unsigned char> raw;
    size_t width = 4;
    if (p.indices >= 0) {
        const GltfAccessor* a = accessorOf(b, p.indices, "a mesh");
        if (!a)
            return false;
        int t = a->componentType;
        if (a->width != 1 || (t != 5121 && t != 5123 && t != 5125)) {
            b.error = "accessor " + std::to_string(p.indices) + " is not a list of indices";
            return false;
        }
        width = t == 5121 ? 1 : t == 5123 ? 2 : 4;
        count = a->count;
        if (!accessorFits(b.doc, b.files, p.indices, b.error) || !spendBudget(b, p.indices))
            return false;
        if (count > 3 * (uint64_t)MAX_VERTICES) {
            b.error = "a mesh has more indices than the reader takes";
            return false;
        }
        raw.resize(count * width);
        if (!readPacked(b.doc, b.files, p.indices, raw.data(), b.error))
            return false;
    }
    auto corner = [&](uint64_t i) -> unsigned {
        if (p.indices < 0)
            return (unsigned)i;
        const unsigned char* at = raw.data() + i * width;
        if (width == 1)
            return *at;
        if (width == 2) {
            uint16_t v;
            std::memcpy(&v, at, 2);
            return v;
        }
        uint32_t v;
        std::memcpy(&v, at, 4);
        return v;
    };
    uint64_t faces = p.mode == 4 ? count / 3 : (count >= 2 ? count - 2 : 0);
    std::unique_ptr<unsigned[]> block(new unsigned[3 * faces + 1]);
    size_t kept = 0;
    for (uint64_t f = 0; f < faces; f++) {
        unsigned c[3];
        if (p.mode == 4)
            c[0] = corner(3 * f), c[1] = corner(3 * f + 1), c[2] = corner(3 * f + 2);
        else if (p.mode == 6)
            c[0] = corner(0), c[1] = corner(f + 1), c[2] = corner(f + 2);
        else if ((f + 1) % 2 == 0) // every other strip triangle turns the same way round
            c[0] = corner(f + 1), c[1] = corner(f), c[2] = corner(f + 2);
        else
            c[0] = corner(f), c[1] = corner(f + 1), c[2] = corner(f + 2);
        if (c[0] >= mesh.mNumVertices || c[1] >= mesh.mNumVertices || c[2] >= mesh.mNumVertices)
            continue;
        std::memcpy(&block[3 * kept++], c, sizeof c);
    }
    raw = std::vector<unsigned char>();
    if (kept == 0) {
        b.error = "mesh " + std::string(mesh.mName.C_Str()) + " has no faces";
        return false;
    }
    mesh.mFaces = new aiFace[kept];
    mesh.mNumFaces = (unsigned)kept;
    for (size_t f = 0; f < kept; f++) {
        mesh.mFaces[f].mNumIndices = 3;
        mesh.mFaces[f].mIndices = block.get() + 3 * f;
    }
    block.release(); // the first face holds the block; releaseIndexBlock lets the rest go
    return true;
}

// Frees a mesh being built whose faces may share one index block.
struct MeshDrop {
    void operator()(aiMesh* mesh) const {
        releaseIndexBlock(*mesh);
        delete mesh;
    }
};

aiMesh* buildPrimitive(GltfBuild& b, const GltfMesh& m, int meshIndex, size_t p) {
    const GltfPrimitive& prim = m.primitives[p];
    std::unique_ptr<aiMesh, MeshDrop> mesh(new aiMesh());
    std::string name = m.name.empty() ? "meshes[" + std::to_string(meshIndex) + "]" : m.name;
    if (m.primitives.size() > 1)
        name.append("-").append(std::to_string(p)); // GCC 12 misreads a prepend
    mesh->mName = name;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    const GltfAccessor* position = accessorOf(b, prim.position, "mesh " + name);
    if (!position)
        return nullptr;
    const GltfAccessor* normal =
        prim.normal >= 0 ? accessorOf(b, prim.normal, "mesh " + name) : nullptr;
    if (prim.normal >= 0 && !normal)
        return nullptr;
    if (!isFloat(*position, 3) || (normal && !isFloat(*normal, 3))) {
        b.toAssimp = "packed positions or normals";
        return nullptr;
    }
    // Normals of another length are left out, as assimp leaves them: then made from the faces.
    bool ownNormals = normal && normal->count == position->count;
    if (position->count > MAX_VERTICES) {
        b.error = "mesh " + name + " has more vertices than the reader takes";
        return nullptr;
    }
    unsigned count = (unsigned)position->count;
    mesh->mNumVertices = count;
    if (!(mesh->mVertices = readVectors(b, prim.position, 3, count)) ||
        (ownNormals && !(mesh->mNormals = readVectors(b, prim.normal, 3, count))))
        return nullptr;
    if (prim.uv >= 0) {
        const GltfAccessor* uv = accessorOf(b, prim.uv, "mesh " + name);
        if (!uv)
            return nullptr;
        if (!isFloat(*uv, 2)) {
            b.toAssimp = "packed uv";
            return nullptr;
        }
        if (uv->count == count) { // assimp leaves out a uv set of another length
            if (!(mesh->mTextureCoords[0] = readVectors(b, prim.uv, 2, count)))
                return nullptr;
            mesh->mNumUVComponents[0] = 2;
        }
    }
    if (count == 0 && prim.indices < 0) {
        b.error = "mesh " + name + " has no faces";
        return nullptr;
    }
    if (!readTriangles(b, prim, *mesh))
        return nullptr;
    if (!mesh->mNormals)
        smoothNormals(*mesh);
    int material = materialOf(b, prim.material);
    if (material < 0)
        return nullptr;
    mesh->mMaterialIndex = (unsigned)material;
    return mesh.release();
}

// The scene's index of the glTF mesh's first primitive, built on first use.
int meshOf(GltfBuild& b, int index) {
    if ((size_t)index >= b.doc.meshes.size()) {
        b.error = "a node names mesh " + std::to_string(index) + ", which is not in the file";
        return -1;
    }
    if (b.meshFirst[index] >= 0)
        return b.meshFirst[index];
    const GltfMesh& m = b.doc.meshes[index];
    int first = (int)b.meshes.size();
    for (size_t p = 0; p < m.primitives.size(); p++) {
        aiMesh* mesh = buildPrimitive(b, m, index, p);
        if (!mesh)
            return -1;
        b.meshes.push_back(mesh);
    }
    return b.meshFirst[index] = first;
}

aiMatrix4x4 localTransform(const GltfNode& n) {
    aiMatrix4x4 m;
    if (n.hasMatrix) { // column after column
        const float* v = n.matrix;
        return aiMatrix4x4(v[0], v[4], v[8], v[12], v[1], v[5], v[9], v[13], v[2], v[6], v[10],
                           v[14], v[3], v[7], v[11], v[15]);
    }
    aiMatrix4x4 part;
    if (n.hasT)
        m = m * aiMatrix4x4::Translation(aiVector3D(n.t[0], n.t[1], n.t[2]), part);
    if (n.hasR)
        m = m * aiMatrix4x4(aiQuaternion(n.r[3], n.r[0], n.r[1], n.r[2]).GetMatrix());
    if (n.hasS)
        m = m * aiMatrix4x4::Scaling(aiVector3D(n.s[0], n.s[1], n.s[2]), part);
    return m;
}

void putExtra(const GltfNode& n, aiNode& node) {
    if (n.extraKind == EXTRA_NONE)
        return;
    node.mMetaData = new aiMetadata();
    const char* key = "skarn_particles";
    if (n.extraKind == EXTRA_BOOL)
        node.mMetaData->Add(key, n.extraNumber != 0);
    else if (n.extraKind == EXTRA_STRING)
        node.mMetaData->Add(key, aiString(n.extraText));
    else if (n.extraKind == EXTRA_UINT64)
        node.mMetaData->Add(key, (uint64_t)n.extraNumber);
    else if (n.extraKind == EXTRA_INT)
        node.mMetaData->Add(key, (int32_t)n.extraNumber);
    else
        node.mMetaData->Add(key, n.extraNumber);
}

// A camera or lamp named after the node that holds it (the last one, in assimp's order).
void placeCamera(GltfBuild& b, int nodeIndex, const aiString& name) {
    const GltfNode& n = b.doc.nodes[nodeIndex];
    if (n.camera >= 0 && (size_t)n.camera < b.doc.cameras.size()) {
        if (b.cameraIndex[n.camera] < 0) {
            const GltfCamera& c = b.doc.cameras[n.camera];
            aiCamera* cam = new aiCamera();
            cam->mLookAt = aiVector3D(0, 0, -1);
            cam->mClipPlaneNear = c.znear, cam->mClipPlaneFar = c.zfar;
            cam->mAspect = c.perspective ? c.aspect : (c.ymag != 0 ? c.xmag / c.ymag : 1);
            cam->mHorizontalFOV = c.perspective ? c.yfov * (c.aspect == 0 ? 1 : c.aspect) : 0;
            b.cameraIndex[n.camera] = (int)b.cameras.size();
            b.cameras.push_back(cam);
        }
        aiCamera* cam = b.cameras[b.cameraIndex[n.camera]];
        cam->mName = name;
        if (n.hasT)
            cam->mPosition = aiVector3D(n.t[0], n.t[1], n.t[2]);
    }
    if (n.light >= 0 && (size_t)n.light < b.doc.lights.size()) {
        if (b.lightIndex[n.light] < 0) {
            const GltfLight& l = b.doc.lights[n.light];
            aiLight* lamp = new aiLight();
            lamp->mType = l.type == 1   ? aiLightSource_SPOT
                          : l.type == 2 ? aiLightSource_DIRECTIONAL
                                        : aiLightSource_POINT;
            if (l.type != 0)
                lamp->mDirection = aiVector3D(0, 0, -1), lamp->mUp = aiVector3D(0, 1, 0);
            aiColor3D c(l.color[0] * l.intensity, l.color[1] * l.intensity,
                        l.color[2] * l.intensity);
            lamp->mColorAmbient = lamp->mColorDiffuse = lamp->mColorSpecular = c;
            lamp->mAttenuationConstant = l.type == 2 ? 1 : 0;
            lamp->mAttenuationQuadratic = l.type == 2 ? 0 : 1;
            if (l.type == 1)
                lamp->mAngleInnerCone = l.inner, lamp->mAngleOuterCone = l.outer;
            b.lightIndex[n.light] = (int)b.lights.size();
            b.lights.push_back(lamp);
        }
        b.lights[b.lightIndex[n.light]]->mName = name;
    }
}

} // namespace

std::string gltfNodeName(const GltfDoc& doc, int node) {
    const std::string& name = doc.nodes[node].name;
    return name.empty() ? "nodes[" + std::to_string(node) + "]" : name;
}

bool buildNodes(GltfBuild& b) {
    const GltfDoc& doc = b.doc;
    if (!doc.hasScene) {
        b.error = "it has no scene";
        return false;
    }
    std::vector<char> seen(doc.nodes.size(), 0);
    b.root = new aiNode(doc.roots.size() == 1 ? "" : "ROOT");
    // Depth first without recursion: a node's children are listed before the walk goes down.
    struct Step {
        int node;
        aiNode* made;
        size_t next;
        int level;
    };
    std::vector<Step> stack;
    auto enter = [&](int index, aiNode* parent, int level) -> aiNode* {
        if (index < 0 || (size_t)index >= doc.nodes.size()) {
            b.error = "a scene or node names node " + std::to_string(index) +
                      ", which is not in the file";
            return nullptr;
        }
        if (seen[index]) {
            b.error = "node " + gltfNodeName(doc, index) +
                      " is reached twice (a loop or a node with two parents)";
            return nullptr;
        }
        seen[index] = 1;
        const GltfNode& n = doc.nodes[index];
        // Nodes deeper than the converter walks are read (their meshes count) but not linked.
        aiNode* made = level >= MAX_NODE_LEVELS ? nullptr
                       : parent                 ? new aiNode(gltfNodeName(doc, index))
                                                : b.root;
        if (!made) {
            stack.push_back({index, made, 0, level});
            return b.root;
        }
        if (!parent)
            made->mName = gltfNodeName(doc, index);
        made->mParent = parent;
        made->mTransformation = localTransform(n);
        putExtra(n, *made);
        size_t children = level + 1 < MAX_NODE_LEVELS ? n.children.size() : 0;
        if (children > 0) {
            made->mChildren = new aiNode*[children];
            made->mNumChildren = 0;
        }
        if (parent)
            parent->mChildren[parent->mNumChildren++] = made;
        stack.push_back({index, made, 0, level});
        return made;
    };
    if (doc.roots.size() > 1)
        b.root->mChildren = new aiNode*[doc.roots.size()];
    for (size_t r = 0; r < doc.roots.size(); r++) {
        if (!enter(doc.roots[r], doc.roots.size() == 1 ? nullptr : b.root, 0))
            return false;
        while (!stack.empty()) {
            Step& top = stack.back();
            const GltfNode& n = doc.nodes[top.node];
            if (top.next < n.children.size()) {
                int child = n.children[top.next++];
                if (!enter(child, top.made, top.level + 1))
                    return false;
                continue;
            }
            // Leaving the node: its children are done, as assimp finishes them before it.
            Step done = top;
            stack.pop_back();
            if (n.mesh >= 0) {
                int first = meshOf(b, n.mesh);
                if (first < 0)
                    return false;
                if (!done.made)
                    continue; // no camera or lamp below the walk's depth is used either
                size_t count = doc.meshes[n.mesh].primitives.size();
                done.made->mMeshes = new unsigned[count];
                done.made->mNumMeshes = (unsigned)count;
                for (size_t i = 0; i < count; i++)
                    done.made->mMeshes[i] = (unsigned)(first + i);
            }
            if (done.made)
                placeCamera(b, done.node, done.made->mName);
        }
    }
    return true;
}
