#include "fb/FbApi.h"

#include "fb/Win1250.h"

#include <vector>

namespace fb::detail {

using namespace Firebird;

IMaster* master()
{
    static IMaster* m = fb_get_master_interface();
    return m;
}

IUtil* util()
{
    static IUtil* u = master()->getUtilInterface();
    return u;
}

IProvider* provider()
{
    static IProvider* p = master()->getDispatcher();
    return p;
}

Status::Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}

Status::~Status()
{
    m_wrapper.dispose();
}

Error errorFromStatus(const IStatus* status)
{
    std::vector<long> codes;
    for (const intptr_t* v = status->getErrors(); v && *v != isc_arg_end;) {
        const intptr_t kind = v[0];
        if (kind == isc_arg_gds)
            codes.push_back(long(v[1]));
        // isc_arg_cstring carries a length and a pointer; all others one value
        v += kind == isc_arg_cstring ? 3 : 2;
    }
    char buffer[4096];
    const unsigned length = util()->formatStatus(buffer, sizeof buffer - 1, const_cast<IStatus*>(status));
    buffer[length] = '\0';
    // Server messages come in the connection's character set.
    QString message = text::fromWin1250(buffer, int(length)).trimmed();
    return Error(message, std::move(codes));
}

QByteArray encodeText(const QString& text)
{
    QByteArray bytes;
    QString bad;
    if (!text::toWin1250(text, bytes, &bad))
        throw Error(QStringLiteral("Text obsahuje znak „%1“ (U+%2), ktorý nemožno uložiť v kódovaní WIN1250.")
                        .arg(bad)
                        .arg(bad.isEmpty() ? 0 : bad.at(0).unicode(), 4, 16, QLatin1Char('0')));
    return bytes;
}

}  // namespace fb::detail
