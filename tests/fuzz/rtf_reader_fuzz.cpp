// Fuzz target for the RTF reader: any input must read without a crash, a sanitizer report, a
// hang or an output longer than the input; and what it reads must survive writing and reading
// again unchanged (line breaks taken as CR LF, as the writer writes them).
#include "platform/RtfCodec.h"
#include "platform/TextCodec.h"

#include <cstdint>
#include <cstdlib>

namespace rtf = platform::rtf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView in(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const rtf::Runs runs = rtf::read(in);
    if (rtf::plainText(runs).size() > in.size())
        std::abort();

    rtf::Runs normalised;
    for (const rtf::Run& r : runs)
        rtf::append(normalised, platform::text::withCrlfBreaks(r.text), r.colour);
    const rtf::Runs again = rtf::read(rtf::write(normalised));
    if (!(again == normalised))
        std::abort();
    return 0;
}
