// Real PuTTY for the end-to-end tests: where putty.exe is, PuTTY's defaults
// in the bench's registry, and loopback listeners that record every byte a
// terminal sends, as a remote host would see them.
#pragma once

// Winsock must come before <windows.h>, which the bench headers include.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "bench.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace real_putty {

using namespace bench;

inline std::wstring envVar(const wchar_t* name) {
    wchar_t buf[4096] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 4096);
    return (n > 0 && n < 4096) ? std::wstring(buf, n) : std::wstring();
}

// Where putty.exe is, or why there is none to use.
inline std::wstring puttyExe(std::string* why) {
    std::wstring path = envVar(L"TWK_PUTTY_EXE");
    if (path.empty())
        path = envVar(L"TILEWICK_PUTTY");
    if (path.empty()) {
        *why = "no putty.exe given: set TWK_PUTTY_EXE to the output of scripts/build-putty.sh";
        return L"";
    }
    path = toWindowsPath(path);
    if (!fileExists(path)) {
        *why = "putty.exe not found at " + narrow(path);
        return L"";
    }
    return path;
}

// PuTTY's defaults in the bench's registry: no local echo and no local line
// editing (every key goes to the host as it is typed), nothing asked on close,
// the window closes by itself when the connection goes, the right button
// pastes, and text goes to the host as UTF-8. The numbers are PuTTY's own: LocalEcho/LocalEdit 0
// force on, 1 force off, 2 auto; CloseOnExit 0 never, 1 on clean exit, 2 always; MouseIsXterm 0
// right button pastes, 1 xterm (middle pastes), 2 menu.
inline bool setPuttyDefaults(std::string* why) {
    const wchar_t* key = L"Software\\SimonTatham\\PuTTY\\Sessions\\Default%20Settings";
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS) {
        *why = "cannot open PuTTY's default settings in the registry";
        return false;
    }
    const struct {
        const wchar_t* name;
        DWORD value;
    } values[] = {
        {L"LocalEcho", 1},   {L"LocalEdit", 1},    {L"WarnOnClose", 0},
        {L"CloseOnExit", 2}, {L"MouseIsXterm", 0},
    };
    bool ok = true;
    for (const auto& v : values)
        ok = ok && RegSetValueExW(h, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v.value),
                                  sizeof(DWORD)) == ERROR_SUCCESS;
    const wchar_t utf8[] = L"UTF-8";
    ok = ok && RegSetValueExW(h, L"LineCodePage", 0, REG_SZ, reinterpret_cast<const BYTE*>(utf8),
                              sizeof utf8) == ERROR_SUCCESS;
    RegCloseKey(h);
    if (!ok)
        *why = "cannot write PuTTY's default settings";
    return ok;
}

// A TCP listener on 127.0.0.1 (a port the system picks) that records every
// byte of every connection, in order, in memory and in a file of the exchange
// folder (for people looking at a failure). It greets each connection with one
// line, so that PuTTY prints something and shows its "host - PuTTY" title. Its
// thread ends when the listener is destroyed, or by itself after 10 minutes.
class ByteListener {
public:
    ByteListener() {
        WSADATA wsa;
        started_ = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
        if (!started_)
            return;
        sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (sock_ == INVALID_SOCKET)
            return;
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        int len = sizeof addr;
        if (bind(sock_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            listen(sock_, 4) != 0 ||
            getsockname(sock_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        logPath_ = uniquePath(L"listener-" + std::to_wstring(port_), L".bin");
        thread_ = std::thread([this] { run(); });
    }
    ByteListener(const ByteListener&) = delete;
    ByteListener& operator=(const ByteListener&) = delete;
    ~ByteListener() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (sock_ != INVALID_SOCKET)
            closesocket(sock_);
        if (started_)
            WSACleanup();
    }

    int port() const { return port_; }
    bool ok() const { return port_ != 0; }
    int connections() const { return connections_; }
    std::string bytes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes_;
    }
    const std::wstring& logPath() const { return logPath_; }

private:
    void run() {
        std::vector<SOCKET> peers;
        HANDLE log = CreateFileW(logPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD started = GetTickCount();
        while (!stop_ && GetTickCount() - started < 10 * 60 * 1000) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(sock_, &readable);
            for (SOCKET s : peers)
                FD_SET(s, &readable);
            timeval tv = {0, 50 * 1000};
            if (select(0, &readable, nullptr, nullptr, &tv) <= 0)
                continue;
            if (FD_ISSET(sock_, &readable)) {
                SOCKET peer = accept(sock_, nullptr, nullptr);
                if (peer != INVALID_SOCKET) {
                    static const char greeting[] = "listening\r\n";
                    send(peer, greeting, sizeof greeting - 1, 0);
                    peers.push_back(peer);
                    ++connections_;
                }
            }
            for (size_t i = 0; i < peers.size();) {
                if (!FD_ISSET(peers[i], &readable)) {
                    ++i;
                    continue;
                }
                char buf[4096];
                int n = recv(peers[i], buf, sizeof buf, 0);
                if (n <= 0) {
                    closesocket(peers[i]);
                    peers.erase(peers.begin() + i);
                    continue;
                }
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    bytes_.append(buf, n);
                }
                if (log != INVALID_HANDLE_VALUE) {
                    DWORD written = 0;
                    WriteFile(log, buf, n, &written, nullptr);
                    FlushFileBuffers(log);
                }
                ++i;
            }
        }
        for (SOCKET s : peers)
            closesocket(s);
        if (log != INVALID_HANDLE_VALUE)
            CloseHandle(log);
    }

    bool started_ = false;
    SOCKET sock_ = INVALID_SOCKET;
    int port_ = 0;
    std::wstring logPath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::string bytes_;
};

// Bytes as C-like text for messages: "Echo\r\x03".
inline std::string escaped(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

}  // namespace real_putty
