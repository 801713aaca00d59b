// A Wine prefix's system.reg, key by key, as Wine writes it: the catalog
// tests and the fuzz seeds each lay these keys out in an order of their own.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel::testing::winereg {

// The lines before the first key.
inline constexpr std::string_view kHeader = R"reg(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\Machine

#arch=win64

)reg";

// The category of categories lists the filters category (with a time stamp
// and a merit), the capture category and the audio renderers' category.
inline constexpr std::string_view kFiltersCategoryKey =
    R"reg([Software\\Classes\\CLSID\\{DA4E3DA0-D07D-11D0-BD50-00A0C911CE86}\\Instance\\{083863F1-70DE-11D0-BD40-00A0C911CE86}] 1796854558
#time=1dd882ade1081da
"CLSID"="{083863F1-70DE-11D0-BD40-00A0C911CE86}"
"FriendlyName"="DirectShow Filters"
"Merit"=dword:00600000
)reg";
inline constexpr std::string_view kCaptureCategoryKey =
    R"reg([Software\\Classes\\CLSID\\{DA4E3DA0-D07D-11D0-BD50-00A0C911CE86}\\Instance\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}] 1796854558
"CLSID"="{860BB310-5D01-11D0-BD3B-00A0C911CE86}"
"FriendlyName"="Video Capture Sources"
)reg";
inline constexpr std::string_view kRenderersCategoryKey =
    R"reg([Software\\Classes\\CLSID\\{DA4E3DA0-D07D-11D0-BD50-00A0C911CE86}\\Instance\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}] 1796854558
"CLSID"="{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}"
"FriendlyName"="Audio Renderers"
)reg";

// Filters category: File Source (Async.) with its filter data continued on a
// second line; AVI Splitter under a path in mixed case; a key below the AVI
// Splitter's, which is no instance of the category.
inline constexpr std::string_view kFileSourceKey =
    R"reg([Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{E436EBB5-524F-11CE-9F53-0020AF0BA770}] 1796854558
"CLSID"="{E436EBB5-524F-11CE-9F53-0020AF0BA770}"
"FilterData"=hex:02,00,00,00,00,00,60,00,\
  01,00,00,00
"FriendlyName"="File Source (Async.)"
)reg";
inline constexpr std::string_view kAviSplitterMixedCaseKey =
    R"reg([SOFTWARE\\Classes\\clsid\\{083863f1-70de-11d0-bd40-00a0c911ce86}\\instance\\{1B544C20-FD0B-11CE-8C63-00AA0044B51E}] 1796854558
"CLSID"="{1B544C20-FD0B-11CE-8C63-00AA0044B51E}"
"FriendlyName"="AVI Splitter"
)reg";
inline constexpr std::string_view kBelowAnInstanceKey =
    R"reg([Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{1B544C20-FD0B-11CE-8C63-00AA0044B51E}\\Extra] 1796854558
"CLSID"="{00000000-0000-0000-0000-000000000001}"
"FriendlyName"="Not an instance"
)reg";

// Capture category: a webcam under an instance name that is no GUID, plainly
// named or with a name in escapes and values of the other kinds; a DMO listed
// there, which carries no CLSID.
inline constexpr std::string_view kWebcamKey =
    R"reg([Software\\Classes\\CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\Webcam] 1796854558
"CLSID"="{17CCA71B-ECD7-11D0-B908-00A0C9223196}"
"FriendlyName"="Webcam"
)reg";
inline constexpr std::string_view kWebcamEscapesKey =
    R"reg([Software\\Classes\\CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\Webcam] 1796854558
"CLSID"="{17CCA71B-ECD7-11D0-B908-00A0C9223196}"
"FriendlyName"="Cam\xe9ra \x20ac \"USB\" \101"
"Path"=str(2):"%SystemRoot%\\x"
"Multi"=hex(7):61,00,00,00,00,00
)reg";
inline constexpr std::string_view kDmoInCaptureCategoryKey =
    R"reg([Software\\Classes\\CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\{2EEB4ADF-4578-4D10-BCA7-BB955F56320A}] 1796854558
"FriendlyName"="WMAudio Decoder DMO"
)reg";

// DMOs: the resampler, the WMA decoder with its input types and in the audio
// decoders' category, and a key whose name is no GUID.
inline constexpr std::string_view kResamplerDmoKey =
    R"reg([Software\\Classes\\DirectShow\\MediaObjects\\F447B69E-1884-4A7E-8055-346F74D6EDB3] 1796854559
@="Resampler DMO"
)reg";
inline constexpr std::string_view kWmaDecoderDmoKey =
    R"reg([Software\\Classes\\DirectShow\\MediaObjects\\2EEB4ADF-4578-4D10-BCA7-BB955F56320A] 1796854559
@="WMAudio Decoder DMO"
"InputTypes"=hex:61,75,64,73
)reg";
inline constexpr std::string_view kWmaDecoderInCategoryKey =
    R"reg([Software\\Classes\\DirectShow\\MediaObjects\\Categories\\57F2DB8B-E6BB-4513-9D43-DCD2A6593125\\2EEB4ADF-4578-4D10-BCA7-BB955F56320A] 1796854559
)reg";
inline constexpr std::string_view kNotADmoKey = R"reg([Software\\Classes\\DirectShow\\MediaObjects\\NotAGuid] 1796854559
@="Not a DMO"
)reg";

// The header, then the keys in the order given, a blank line between two.
inline std::string SystemReg(std::initializer_list<std::string_view> keys) {
    std::string text(kHeader);
    bool first = true;
    for (const std::string_view key : keys) {
        if (!first) text += '\n';
        text += key;
        first = false;
    }
    return text;
}

}  // namespace quorvel::testing::winereg
