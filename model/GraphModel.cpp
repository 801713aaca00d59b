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

std::uint32_t FilterKindColor(FilterKind kind) {
    switch (kind) {
        case FilterKind::DmoWrapper: return 0x008000;  // green
        case FilterKind::PnpProxy: return 0x800080;    // purple
        case FilterKind::AcmWrapper:
        case FilterKind::AviCompressor: return 0x0000FF;  // blue
        case FilterKind::DirectShow: break;
    }
    return 0x000000;
}

}  // namespace quorvel::model
