// quendra_delay_relay: a TCP relay that holds back every byte by a set time in each direction, so that the server
// benchmarks run as over a network of that latency. `quendra_delay_relay MILLISECONDS HOST PORT` listens on a free
// loopback port, prints it, and passes each connection on to HOST:PORT, the bytes of each direction delivered
// MILLISECONDS (a decimal fraction allowed) after they arrived, in order. It runs until it is stopped.
// SPDX-License-Identifier: Apache-2.0
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The bytes one direction read and has not delivered yet, each piece with the time it is due.
struct Direction {
    int from = -1;
    int to = -1;
    std::mutex mutex;
    std::condition_variable arrived;
    struct Piece {
        Clock::time_point due;
        std::vector<char> bytes; // empty: the sender closed its side
    };
    std::deque<Piece> pieces;
};

void Read(Direction& direction, Clock::duration delay) {
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t got = read(direction.from, buffer.data(), buffer.size());
        Direction::Piece piece{Clock::now() + delay, {}};
        if (got > 0) piece.bytes.assign(buffer.begin(), buffer.begin() + got);
        {
            std::lock_guard lock(direction.mutex);
            direction.pieces.push_back(std::move(piece));
        }
        direction.arrived.notify_one();
        if (got <= 0) return;
    }
}

void Deliver(Direction& direction) {
    for (;;) {
        Direction::Piece piece;
        {
            std::unique_lock lock(direction.mutex);
            direction.arrived.wait(lock, [&] { return !direction.pieces.empty(); });
            piece = std::move(direction.pieces.front());
            direction.pieces.pop_front();
        }
        std::this_thread::sleep_until(piece.due);
        if (piece.bytes.empty()) {
            shutdown(direction.to, SHUT_WR);
            return;
        }
        for (size_t sent = 0; sent < piece.bytes.size();) {
            const ssize_t wrote = write(direction.to, piece.bytes.data() + sent, piece.bytes.size() - sent);
            if (wrote <= 0) {
                shutdown(direction.from, SHUT_RD);
                return;
            }
            sent += static_cast<size_t>(wrote);
        }
    }
}

int ConnectTo(const char* host, const char* port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, port, &hints, &found) != 0) return -1;
    int connected = -1;
    for (addrinfo* at = found; at && connected < 0; at = at->ai_next) {
        connected = socket(at->ai_family, at->ai_socktype, at->ai_protocol);
        if (connected >= 0 && connect(connected, at->ai_addr, at->ai_addrlen) != 0) {
            close(connected);
            connected = -1;
        }
    }
    freeaddrinfo(found);
    return connected;
}

// Both directions of one connection, each with a reader and a deliverer; closes both sockets when all four end.
void Relay(int client, int server, Clock::duration delay) {
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto up = std::make_shared<Direction>();
    auto down = std::make_shared<Direction>();
    up->from = down->to = client;
    up->to = down->from = server;
    std::thread([up, down, delay, client, server] {
        std::thread readUp(Read, std::ref(*up), delay);
        std::thread readDown(Read, std::ref(*down), delay);
        std::thread deliverUp(Deliver, std::ref(*up));
        std::thread deliverDown(Deliver, std::ref(*down));
        readUp.join();
        readDown.join();
        deliverUp.join();
        deliverDown.join();
        close(client);
        close(server);
    }).detach();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: quendra_delay_relay MILLISECONDS HOST PORT\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const auto delay = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(std::strtod(argv[1], nullptr)));
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 64) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("quendra_delay_relay");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (;;) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        const int server = ConnectTo(argv[2], argv[3]);
        if (server < 0) {
            close(client);
            continue;
        }
        Relay(client, server, delay);
    }
}
