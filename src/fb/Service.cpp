#include "fb/Service.h"

#include "fb/FbApi.h"

#include <QFile>

#include <algorithm>
#include <functional>
#include <mutex>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Ref;

struct Service::Impl {
    Ref<IService> service;
    bool running = false;
};

namespace {

// File names travel in the system's encoding, as in Connection.
QByteArray fileBytes(const QString& path)
{
    return QFile::encodeName(path);
}

void start(IService* service, const std::function<void(ThrowStatusWrapper*, IXpbBuilder*)>& fill)
{
    call([&](ThrowStatusWrapper* st) {
        Ref<IXpbBuilder> spb(detail::util()->getXpbBuilder(st, IXpbBuilder::SPB_START, nullptr, 0));
        fill(st, spb.get());
        service->start(st, spb->getBufferLength(st), spb->getBuffer(st));
    });
}

// The in-process engine's restore asks on the console for the next volume when
// a backup file ends early, and waits for an answer when there is a terminal.
// The program has no console dialogue: its standard input reads nothing.
void detachConsoleInput()
{
#ifdef Q_OS_UNIX
    static std::once_flag once;
    std::call_once(once, [] {
        const int fd = ::open("/dev/null", O_RDONLY);
        if (fd >= 0 && fd != STDIN_FILENO) {
            ::dup2(fd, STDIN_FILENO);
            ::close(fd);
        }
    });
#endif
}

}  // namespace

Service::Service() : d(std::make_unique<Impl>()) {}

Service::~Service()
{
    try {
        detach();
    } catch (...) {
        // a broken link cannot be detached cleanly; the handle is released anyway
    }
}

QString Service::serviceManagerName(const QString& server)
{
    const QString name = QStringLiteral("service_mgr");
    return server.isEmpty() ? name : server + QLatin1Char(':') + name;
}

void Service::attach(const QString& server, const QString& user, const QString& password)
{
    detach();
    if (server.isEmpty())
        detachConsoleInput();
    const QByteArray name = fileBytes(serviceManagerName(server));
    const QByteArray userBytes = detail::encodeText(user);
    const QByteArray passwordBytes = detail::encodeText(password);
    call([&](ThrowStatusWrapper* st) {
        Ref<IXpbBuilder> spb(detail::util()->getXpbBuilder(st, IXpbBuilder::SPB_ATTACH, nullptr, 0));
        spb->insertString(st, isc_spb_user_name, userBytes.constData());
        spb->insertString(st, isc_spb_password, passwordBytes.constData());
        d->service.reset(detail::provider()->attachServiceManager(st, name.constData(), spb->getBufferLength(st),
                                                                  spb->getBuffer(st)));
    });
    d->running = false;
}

void Service::detach()
{
    d->running = false;
    if (!d->service)
        return;
    try {
        call([&](ThrowStatusWrapper* st) { d->service->detach(st); });
        d->service.detach();  // detach() released the interface
    } catch (...) {
        d->service.reset();
        throw;
    }
}

bool Service::isAttached() const
{
    return bool(d->service);
}

static IService* attached(const Service::Impl& d)
{
    if (!d.service)
        throw Error(QStringLiteral("Správca služieb servera nie je pripojený."));
    return d.service.get();
}

void Service::startBackup(const QString& databaseFile, const QString& backupFile, const BackupOptions& options)
{
    IService* service = attached(*d);
    const QByteArray db = fileBytes(databaseFile);
    const QByteArray file = fileBytes(backupFile);
    start(service, [&](ThrowStatusWrapper* st, IXpbBuilder* spb) {
        spb->insertTag(st, isc_action_svc_backup);
        spb->insertString(st, isc_spb_dbname, db.constData());
        spb->insertString(st, isc_spb_bkp_file, file.constData());
        if (options.verbose)
            spb->insertTag(st, isc_spb_verbose);
        int flags = 0;
        if (options.ignoreChecksums)
            flags |= isc_spb_bkp_ignore_checksums;
        if (options.ignoreLimbo)
            flags |= isc_spb_bkp_ignore_limbo;
        if (flags)
            spb->insertInt(st, isc_spb_options, flags);
    });
    d->running = true;
}

void Service::startRestore(const QString& backupFile, const QString& databaseFile, const RestoreOptions& options)
{
    IService* service = attached(*d);
    const QByteArray db = fileBytes(databaseFile);
    const QByteArray file = fileBytes(backupFile);
    start(service, [&](ThrowStatusWrapper* st, IXpbBuilder* spb) {
        spb->insertTag(st, isc_action_svc_restore);
        spb->insertString(st, isc_spb_bkp_file, file.constData());
        spb->insertString(st, isc_spb_dbname, db.constData());
        if (options.verbose)
            spb->insertTag(st, isc_spb_verbose);
        if (options.pageSize > 0)
            spb->insertInt(st, isc_spb_res_page_size, options.pageSize);
        int flags = 0;
        if (options.replace)
            flags |= isc_spb_res_replace;
        if (options.create)
            flags |= isc_spb_res_create;
        if (flags)
            spb->insertInt(st, isc_spb_options, flags);
    });
    d->running = true;
}

bool Service::nextLine(QString& line)
{
    line.clear();
    if (!d->running)
        return false;
    IService* service = attached(*d);
    const unsigned char items[] = {isc_info_svc_line};
    // the service API measures the buffer in 16 bits
    QByteArray buffer(32 * 1024, '\0');
    auto* out = reinterpret_cast<unsigned char*>(buffer.data());
    for (int emptyReplies = 0;; ++emptyReplies) {
        if (emptyReplies > 100000)
            throw Error(QStringLiteral("Služba servera neposiela výstup."));
        call([&](ThrowStatusWrapper* st) {
            service->query(st, 0, nullptr, sizeof items, items, unsigned(buffer.size()), out);
        });
        QByteArray text;
        bool gotLine = false;
        bool again = false;
        for (const unsigned char* p = out; p < out + buffer.size() && *p != isc_info_end;) {
            const unsigned char tag = *p++;
            if (tag == isc_info_svc_line) {
                const int length = int(p[0]) | int(p[1]) << 8;
                p += 2;
                if (p + length > out + buffer.size())
                    break;
                text.append(reinterpret_cast<const char*>(p), length);
                p += length;
                gotLine = length > 0;
                if (!gotLine) {
                    // an empty line is the end of the output
                    d->running = false;
                    return false;
                }
            } else if (tag == isc_info_truncated || tag == isc_info_svc_timeout || tag == isc_info_data_not_ready) {
                again = true;
            } else {
                break;
            }
        }
        if (gotLine) {
            line = QString::fromLocal8Bit(text);
            return true;
        }
        if (!again) {
            d->running = false;
            return false;
        }
    }
}

namespace {

// The service API measures its buffers in 16 bits.
constexpr unsigned kBufferSize = 0xFFFF;

// A second between polls, so the caller's window stays alive while the server works.
void appendTimeout(QByteArray& send)
{
    send.append(char(isc_info_svc_timeout));
    send.append(char(4)).append(char(0));
    send.append(char(1)).append(char(0)).append(char(0)).append(char(0));
}

unsigned readLength(const unsigned char* p)
{
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

unsigned readInt(const unsigned char* p)
{
    return unsigned(p[0]) | unsigned(p[1]) << 8 | unsigned(p[2]) << 16 | unsigned(p[3]) << 24;
}

}  // namespace

void Service::streamBackup(const QString& databaseFile, const BackupOptions& options, const DataSink& onData)
{
    BackupOptions quiet = options;
    quiet.verbose = false;  // its lines would be written into the stream
    startBackup(databaseFile, QStringLiteral("stdout"), quiet);
    IService* service = attached(*d);
    QByteArray send;
    appendTimeout(send);
    send.append(char(isc_info_end));
    const unsigned char items[] = {isc_info_svc_to_eof};
    QByteArray buffer(int(kBufferSize), '\0');
    auto* out = reinterpret_cast<unsigned char*>(buffer.data());
    const unsigned char* const end = out + buffer.size();
    for (bool running = true; running;) {
        call([&](ThrowStatusWrapper* st) {
            service->query(st, unsigned(send.size()), reinterpret_cast<const unsigned char*>(send.constData()),
                           sizeof items, items, unsigned(buffer.size()), out);
        });
        unsigned length = 0;
        bool notReady = false;
        for (const unsigned char* p = out; p < end && *p != isc_info_end;) {
            const unsigned char tag = *p++;
            if (tag == isc_info_svc_to_eof) {
                length = readLength(p);
                p += 2;
                if (p + length > end)
                    throw Error(QStringLiteral("Služba servera poslala poškodenú odpoveď."));
                if (length > 0 && onData)
                    onData(reinterpret_cast<const char*>(p), qint64(length));
                p += length;
            } else if (tag == isc_info_truncated || tag == isc_info_svc_timeout || tag == isc_info_data_not_ready) {
                notReady = notReady || tag != isc_info_truncated;
            } else {
                break;
            }
        }
        running = length > 0 || notReady;
    }
    d->running = false;
}

void Service::streamRestore(const QString& databaseFile, const RestoreOptions& options, const DataSource& read,
                            const LineSink& onLine)
{
    startRestore(QStringLiteral("stdin"), databaseFile, options);
    IService* service = attached(*d);
    const unsigned char items[] = {isc_info_svc_line, isc_info_svc_stdin};
    QByteArray buffer(int(kBufferSize), '\0');
    auto* out = reinterpret_cast<unsigned char*>(buffer.data());
    const unsigned char* const end = out + buffer.size();
    unsigned wanted = 0;
    QByteArray send;
    QByteArray chunk;
    for (bool running = true; running;) {
        send.clear();
        appendTimeout(send);
        if (wanted > 0) {
            // tag, two length bytes, the data, the end tag: all within 16 bits
            const unsigned room = kBufferSize - 1 - unsigned(send.size()) - 4;
            chunk.resize(qsizetype(std::min(wanted, room)));
            const qint64 n = read ? read(chunk.data(), chunk.size()) : 0;
            if (n < 0)
                throw Error(QStringLiteral("Záložný súbor sa nepodarilo prečítať."));
            send.append(char(isc_info_svc_line));
            send.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF));
            send.append(chunk.constData(), qsizetype(n));
        }
        send.append(char(isc_info_end));
        call([&](ThrowStatusWrapper* st) {
            service->query(st, unsigned(send.size()), reinterpret_cast<const unsigned char*>(send.constData()),
                           sizeof items, items, unsigned(buffer.size()), out);
        });
        wanted = 0;
        unsigned length = 0;
        bool notReady = false;
        for (const unsigned char* p = out; p < end && *p != isc_info_end;) {
            const unsigned char tag = *p++;
            if (tag == isc_info_svc_line) {
                length = readLength(p);
                p += 2;
                if (p + length > end)
                    throw Error(QStringLiteral("Služba servera poslala poškodenú odpoveď."));
                if (length > 0 && onLine)
                    onLine(QString::fromLocal8Bit(reinterpret_cast<const char*>(p), qsizetype(length)));
                p += length;
            } else if (tag == isc_info_svc_stdin) {
                wanted = readInt(p);
                p += 4;
            } else if (tag == isc_info_truncated || tag == isc_info_svc_timeout || tag == isc_info_data_not_ready) {
                notReady = true;
            } else {
                break;
            }
        }
        running = length > 0 || wanted > 0 || notReady;
    }
    d->running = false;
}

}  // namespace fb
