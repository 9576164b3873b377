#include "data/fbclient.h"

#include "data/ansi.h"
#include "data/errors.h"

#include <QStringList>

#include <mutex>

#include <dlfcn.h>

namespace {

QString g_clientLibrary = QStringLiteral("libfbclient.so.2");

}  // namespace

bool Failed(const ISC_STATUS *status)
{
    return status[0] == 1 && status[1] != 0;
}

long long LittleEndian(const char *bytes, int length)
{
    long long value = 0;
    for (int i = 0; i < length && i < 4; ++i)
        value |= static_cast<long long>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

long long SingleItem(const char *buffer, char item)
{
    if (buffer[0] != item)
        return -1;
    return LittleEndian(buffer + 3, static_cast<int>(LittleEndian(buffer + 1, 2)));
}

std::shared_ptr<FbClient> FbClient::Load()
{
    // The import's thread loads it too, while the window's connection holds it.
    static std::mutex loading;
    const std::lock_guard<std::mutex> lock(loading);
    static std::weak_ptr<FbClient> loaded;
    if (auto client = loaded.lock())
        return client;
    auto client = std::make_shared<FbClient>();
    const Exception missing(QStringLiteral("InterBase-DLL %1 wurde im Pfad nicht gefunden").arg(g_clientLibrary));
    client->library_ = dlopen(g_clientLibrary.toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!client->library_)
        throw missing;
#define FB_RESOLVE(name)                                                                           \
    client->name = reinterpret_cast<decltype(&::name)>(dlsym(client->library_, #name));             \
    if (!client->name)                                                                             \
        throw missing;
    FB_FUNCTIONS(FB_RESOLVE)
#undef FB_RESOLVE
    loaded = client;
    return client;
}

void FbClient::SetLibrary(const QString &file)
{
    g_clientLibrary = file;
}

void FbClient::check(const ISC_STATUS *status) const
{
    if (Failed(status))
        throw error(status);
}

EDatabaseError FbClient::error(const ISC_STATUS *status) const
{
    std::vector<long> codes;
    int systemError = 0;
    for (const ISC_STATUS *arg = status; *arg != isc_arg_end; arg += 2) {
        if (arg[0] == isc_arg_gds)
            codes.push_back(static_cast<long>(arg[1]));
        else if (arg[0] == isc_arg_unix && systemError == 0)
            systemError = static_cast<int>(arg[1]);
        else if (arg[0] == isc_arg_cstring)
            ++arg;  // a length before the string: three cells
    }
    return EDatabaseError(interpret(status), std::move(codes), systemError);
}

QString FbClient::interpret(const ISC_STATUS *status) const
{
    QStringList lines;
    const ISC_STATUS *vector = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &vector) > 0)
        lines << FromAnsi(QByteArray(buffer));
    QString text = lines.join(QStringLiteral("\r\n"));
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}
