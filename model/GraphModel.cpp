#include "model/GraphModel.hpp"

namespace quorvel::model {

std::string_view FilterKindName(FilterKind kind) {
    switch (kind) {
        case FilterKind::DmoWrapper: return "dmo";
        case FilterKind::PnpProxy: return "pnp";
        case FilterKind::AcmWrapper: return "acm";
        case FilterKind::AviCompressor: return "avi";
        case FilterKind::DirectShow: break;
    }
    return "directshow";
}

}  // namespace quorvel::model
