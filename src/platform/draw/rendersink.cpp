#include "platform/draw/rendersink.h"

void TRecordingRenderSink::DrawVertices(int primitive, const TVertexBatch& batch) {
    Draw draw{primitive, batch.GetKind(), {}, mBound};
    if (batch.GetKind() == TVertexBatch::kLitVertexList && batch.GetVertices() != nullptr &&
        batch.GetCount() > 0) {
        const TLVertex* first = static_cast<const TLVertex*>(batch.GetVertices());
        draw.vertices.assign(first, first + batch.GetCount());
    }
    if (batch.GetKind() == TVertexBatch::kScreenVertex && batch.GetVertices() != nullptr &&
        batch.GetCount() > 0) {
        const TTLVertex* first = static_cast<const TTLVertex*>(batch.GetVertices());
        draw.screenVertices.assign(first, first + batch.GetCount());
    }
    mDraws.push_back(draw);
}
