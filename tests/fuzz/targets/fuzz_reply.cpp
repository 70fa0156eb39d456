// Any bytes as a service reply: GBK decode, envelope, rows, page information and month totals. The document as
// data.xml holds it must read back to the same document.
#include "core/Conversions.h"
#include "core/ItemInfo.h"
#include "core/Reply.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // IsReplyOk reports a broken reply in a message; nothing may wait for an answer here.
    lumora::ScopedMessageCapture capture;
    const QString text = lumora::FromGbk(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    lumora::Reply reply;
    try {
        reply = lumora::ParseReply(text);
        for (const pugi::xml_node &row : lumora::ReplyRows(reply)) {
            lumora::TItemInfo info;
            lumora::ReadRecordRow(row, info);
            lumora::ReadMonthTotalRow(row);
        }
        lumora::PageInfo page;
        lumora::ReadPageInfo(reply, page);
    } catch (const lumora::LumoraError &) {
        // Refusing a broken reply is the expected outcome.
    }
    if (reply.doc) {
        const QString saved = QString::fromStdString(lumora::SaveXml(*reply.doc));
        QString again;
        try {
            again = QString::fromStdString(lumora::SaveXml(*lumora::ParseReply(saved).doc));
        } catch (const lumora::LumoraError &e) {
            again = QStringLiteral("(does not read back: %1)").arg(e.message());
        }
        if (again != saved) {
            std::fprintf(stderr, "saved:\n%s\nread back and saved again:\n%s\n", saved.toUtf8().constData(),
                         again.toUtf8().constData());
            std::abort();
        }
    }
    lumora::IsReplyOk(text);
    return 0;
}
