// The ZIP listing through minizip and the findings of the formats built on
// ZIP, rendered from their markup as the report shows them: no text of the
// archive may come out as a control character.
#include "FuzzSupport.h"
#include "core/ReportPane.h"
#include "core/TextStyle.h"
#include "formats/ZipContents.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiddity;
    const CMemoryByteSource source = fuzz::SourceOf(data, size);
    std::string markup;
    ReportZipContents(source, markup);
    CPlainTextPane pane;
    RenderMarkup(pane, InitTextStyles(), markup);
    fuzz::RequireShownSafely(pane.Text());
    return 0;
}
