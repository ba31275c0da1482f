// Feeds arbitrary bytes to the template reader and the log loader. Besides crashes and sanitizer reports it
// checks what must hold for any input: a failed read says why, a template the reader accepted can be written
// and the writing read again without a crash, text survives the file encoding, and a loaded log keeps to its
// limit without splitting a character.
#include "core/WorkTable.h"
#include "store/LogFile.h"
#include "store/TemplateData.h"
#include "store/TemplateReader.h"
#include "store/TemplateWriter.h"
#include "store/TextCodec.h"

#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static WorkTable table;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TextCodec::decode(bytes);

    TemplateData read = TemplateData::from(table);
    TemplateReader::clearLists(read);
    StoreError error;
    if (TemplateReader::read(text, read, &error)) {
        check(!error.isError());
        const QString written = TemplateWriter::text(read);
        check(written.endsWith(QStringLiteral("\r\n\r\n")));
        TemplateData again = TemplateData::from(table);
        TemplateReader::clearLists(again);
        TemplateReader::read(written, again, nullptr);
        read.applyTo(table);
    } else {
        check(error.isError() && !error.description.isEmpty());
    }

    check(TextCodec::decode(TextCodec::encode(text)) == text);

    const qsizetype limit = qsizetype(size % 4096);
    const QString log = LogFile::loadedText(text, limit);
    if (limit > 0) {
        check(log.size() <= limit);
        check(log.isEmpty() || !log.back().isHighSurrogate());
    }
    return 0;
}
