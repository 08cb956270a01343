#pragma once
// The lossless CP932 codec: CP932 exists only on disk and on the wire; in memory
// text is UTF-8. Bytes that do not decode (or do not encode back to the same
// bytes) become private-use characters U+F780 + byte and are written back as
// those bytes, so decode followed by encode always gives the original bytes.
#include <string>
#include <string_view>

namespace quelvo {

std::string Cp932ToUtf8(std::string_view bytes);
std::string Utf8ToCp932(std::string_view text);

}  // namespace quelvo
