#include "platform/draw/vertexbatch.h"

TVertexBatch* TVertexBatch::CreateKind2(TVertex* vertices, int count) {
    return new TVertexBatch(kLitVertexList, vertices, count);
}

TVertexBatch* TVertexBatch::CreateKind3(TTLVertex* vertices, int count) {
    return new TVertexBatch(kScreenVertex, vertices, count);
}

void TVertexBatch::Free(TVertexBatch* batch) {
    delete batch;
}
