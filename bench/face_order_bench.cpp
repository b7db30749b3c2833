// Speed of the face ordering against the selection sort it reproduces, for tree meshes of
// 1,000, 5,000 and 20,000 faces seen from a moving camera.
#include <benchmark/benchmark.h>

#include <random>

#include "path/face_order.h"
#include "unit/path/face_order_reference.h"

namespace {

// A tree-like mesh: n faces whose corners are scattered in a 20 x 40 x 20 box, some on a grid
// so that equal distances occur as they do in hand-made meshes.
Mesh treeMesh(int faceCount) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> spread(-10.0f, 10.0f);
    std::uniform_int_distribution<int> grid(-10, 10);
    Mesh mesh;
    mesh.faceCount = faceCount;
    for (int i = 0; i < faceCount * 3; i++) {
        if (i % 4 == 0) {
            mesh.vertices.push_back({static_cast<float>(grid(random)), 2.0f * spread(random),
                                     static_cast<float>(grid(random))});
        } else {
            mesh.vertices.push_back({spread(random), 2.0f * spread(random), spread(random)});
        }
        mesh.faces.push_back(i);
    }
    mesh.vertexCount = static_cast<int>(mesh.vertices.size());
    return mesh;
}

// The eye for frame k, circling the tree.
Vec3 eyeAt(int frame) {
    const float angle = 0.01f * static_cast<float>(frame);
    return {40.0f * cosf(angle), 5.0f, 40.0f * sinf(angle)};
}

void shippedOrdering(benchmark::State& state) {
    Mesh mesh = treeMesh(static_cast<int>(state.range(0)));
    int frame = 0;
    for (auto _ : state) {
        sortFacesByCameraDistance(mesh, eyeAt(frame++));
        benchmark::DoNotOptimize(mesh.faceOrder.data());
    }
    state.SetComplexityN(state.range(0));
}

void referenceOrdering(benchmark::State& state) {
    Mesh mesh = treeMesh(static_cast<int>(state.range(0)));
    int frame = 0;
    for (auto _ : state) {
        referenceSortFaces(mesh, eyeAt(frame++));
        benchmark::DoNotOptimize(mesh.faceOrder.data());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(shippedOrdering)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(referenceOrdering)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
