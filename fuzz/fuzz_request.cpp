// The instance channel's request parser: whatever another process writes on the socket.
#include "core/request.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<Request> request = RequestParser::parseLine(line, &error);
    if (!request) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    // Only entries 1 to 30 get through, and a request reads back as itself.
    if ((request->kind == Request::Copy || request->kind == Request::Paste ||
         request->kind == Request::Get) &&
        (request->entry < 1 || request->entry > 30))
        std::abort();
    const QByteArray encoded = request->encode();
    if (encoded.chopped(1) != line ||
        RequestParser::parseLine(encoded.chopped(1), &error) != request)
        std::abort();
    return 0;
}
