// The importer's own glTF 2.0 reader: file, JSON, buffers, then the scene handed over whole.
// Import side. What the reader leaves out sends the file to assimp, so the worst case is the
// scene assimp reads.
#include "import/gltf_reader.h"

#include <cctype>

#include "import/gltf_build.h"
#include "import/vertex_join.h"

namespace {

bool hasExtension(const std::string& file, const char* extension) {
    std::string tail = file.substr(
        file.find_last_of('.') == std::string::npos ? file.size() : file.find_last_of('.'));
    for (char& c : tail)
        c = (char)std::tolower((unsigned char)c);
    return tail == extension;
}

template <typename T> void handOver(std::vector<T*>& from, T**& to, unsigned& count) {
    count = (unsigned)from.size();
    to = from.empty() ? nullptr : new T*[from.size()];
    for (size_t i = 0; i < from.size(); i++)
        to[i] = from[i];
    from.clear();
}

// True when some mesh keeps a vertex per triangle corner (a glTF without indices): readScene
// joins such scenes' equal vertices, and so does this reader.
bool cornerPerVertex(const aiScene& scene) {
    for (unsigned i = 0; i < scene.mNumMeshes; i++)
        if (scene.mMeshes[i]->mNumVertices >= 3 * (size_t)scene.mMeshes[i]->mNumFaces)
            return true;
    return false;
}

// Leaves out the vertices no face names, keeping the others' order (assimp's joining step
// keeps only the vertices in use).
void dropUnused(aiMesh& m) {
    std::vector<unsigned> newIndex(m.mNumVertices, 0);
    for (unsigned f = 0; f < m.mNumFaces; f++)
        for (unsigned k = 0; k < 3; k++)
            newIndex[m.mFaces[f].mIndices[k]] = 1;
    unsigned used = 0;
    for (unsigned v = 0; v < m.mNumVertices; v++) {
        bool kept = newIndex[v] != 0;
        newIndex[v] = used;
        if (kept) {
            m.mVertices[used] = m.mVertices[v], m.mNormals[used] = m.mNormals[v];
            if (m.mTextureCoords[0])
                m.mTextureCoords[0][used] = m.mTextureCoords[0][v];
            used++;
        }
    }
    for (unsigned f = 0; f < m.mNumFaces; f++)
        for (unsigned k = 0; k < 3; k++)
            m.mFaces[f].mIndices[k] = newIndex[m.mFaces[f].mIndices[k]];
    m.mNumVertices = used; // the arrays keep their length: freed whole all the same
}

} // namespace

GltfBuild::GltfBuild(const GltfDoc& doc, const GltfFiles& files)
    : doc(doc), files(files), meshFirst(doc.meshes.size(), -1), imageTexture(doc.images.size(), -1),
      cameraIndex(doc.cameras.size(), -1), lightIndex(doc.lights.size(), -1) {
    materials.assign(doc.materials.size() + 1, nullptr);
    budget = 64 << 20;
    for (const GltfBufferData& data : files.buffers)
        budget += 16 * data.size;
}

GltfBuild::~GltfBuild() {
    for (aiMesh* m : meshes) {
        releaseIndexBlock(*m);
        delete m;
    }
    for (aiMaterial* m : materials)
        delete m;
    for (aiTexture* t : textures)
        delete t;
    for (aiCamera* c : cameras)
        delete c;
    for (aiLight* l : lights)
        delete l;
    for (aiAnimation* a : animations)
        delete a;
    delete root;
}

bool spendBudget(GltfBuild& build, int accessor) {
    const GltfAccessor& a = build.doc.accessors[accessor];
    uint64_t bytes = a.count * elementSize(a); // checked against the file already
    if (bytes > build.budget) {
        build.toAssimp = "accessors read over and over";
        return false;
    }
    build.budget -= bytes;
    return true;
}

void releaseIndexBlock(aiMesh& mesh) {
    aiFace* faces = mesh.mFaces;
    if (!faces || mesh.mNumFaces < 2 || faces[1].mIndices != faces[0].mIndices + 3)
        return; // separate blocks (assimp's way): each face frees its own
    for (unsigned f = 1; f < mesh.mNumFaces; f++)
        faces[f].mIndices = nullptr;
}

void releaseIndexBlocks(aiScene& scene) {
    for (unsigned i = 0; scene.mMeshes && i < scene.mNumMeshes; i++)
        if (scene.mMeshes[i])
            releaseIndexBlock(*scene.mMeshes[i]);
}

GltfOutcome readGltf(const std::string& file, size_t limit, std::unique_ptr<aiScene>& out,
                     std::string& error) {
    if (!hasExtension(file, ".gltf") && !hasExtension(file, ".glb"))
        return GLTF_TO_ASSIMP;
    GltfFiles files;
    files.file = file;
    files.folder = file.find('/') == std::string::npos ? "" : file.substr(0, file.rfind('/') + 1);
    files.limit = limit;
    std::string json;
    bool glTF1 = false;
    GltfDoc doc;
    if (!readGltfText(files, json, glTF1, error) ||
        (!glTF1 && !parseGltf(json.data(), json.size(), doc, error)))
        return GLTF_REFUSED;
    json = std::string();
    if (glTF1 || !doc.toAssimp.empty())
        return GLTF_TO_ASSIMP;
    if (!openBuffers(doc, files, error))
        return GLTF_REFUSED;
    GltfBuild build(doc, files);
    if (!buildNodes(build) || !buildAnimations(build)) {
        error = build.error;
        return build.toAssimp.empty() ? GLTF_REFUSED : GLTF_TO_ASSIMP;
    }
    for (size_t i = 0; i < build.materials.size(); i++)
        if (!build.materials[i]) // no mesh uses it: a plain one keeps the indices
            build.materials[i] = new aiMaterial();
    std::unique_ptr<aiScene> scene(new aiScene());
    scene->mRootNode = build.root;
    build.root = nullptr;
    handOver(build.meshes, scene->mMeshes, scene->mNumMeshes);
    handOver(build.materials, scene->mMaterials, scene->mNumMaterials);
    handOver(build.textures, scene->mTextures, scene->mNumTextures);
    handOver(build.cameras, scene->mCameras, scene->mNumCameras);
    handOver(build.lights, scene->mLights, scene->mNumLights);
    handOver(build.animations, scene->mAnimations, scene->mNumAnimations);
    if (cornerPerVertex(*scene)) {
        for (unsigned i = 0; i < scene->mNumMeshes; i++) {
            dropUnused(*scene->mMeshes[i]);
            joinVertices(*scene->mMeshes[i]);
        }
    }
    out = std::move(scene);
    return GLTF_READ;
}
