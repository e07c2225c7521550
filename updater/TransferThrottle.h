#pragma once
// TransferThrottle: how hard a download job may press a server that limits its
// request rate. A 429 or 503 halves the number of transfers at once (down to 1),
// and from then on the requests are also spaced out: a server on the same network
// answers in a millisecond, so one transfer alone could still send hundreds of
// requests a second. The spacing widens by half at each refusal and narrows a
// little with each file that arrives; after every 10 files in a row that arrive,
// one more transfer is allowed again, up to the job's own number.
//
// Refusals of requests that went out before the last reaction are the same burst
// and change nothing more. Times are milliseconds of one monotonic clock; one
// thread (the job's) uses an object.
#include <cstddef>
#include <cstdint>

namespace rg_quelt_app {

class TransferThrottle {
public:
    static constexpr std::size_t kSuccessesPerStep = 10;
    static constexpr double kFirstSpacingMs = 20;
    static constexpr double kLongestSpacingMs = 2000;

    explicit TransferThrottle(std::size_t most);

    // How many transfers may run now.
    std::size_t allowed() const { return allowed_; }
    // The earliest time the next request may go out.
    std::uint64_t nextStartAt() const;
    double spacingMs() const { return spacingMs_; }

    void started(std::uint64_t now) { lastStart_ = now; }
    // A 429 or 503 to a request that went out at `sentAt`.
    void refused(std::uint64_t now, std::uint64_t sentAt);
    void succeeded();
    // Any other failure: the row of successes starts again.
    void failed() { streak_ = 0; }

private:
    const std::size_t most_;
    std::size_t allowed_;
    std::size_t streak_ = 0;
    double spacingMs_ = 0;
    std::uint64_t lastStart_ = 0;
    std::uint64_t lastReaction_ = 0;
    bool reacted_ = false;
};

} // namespace rg_quelt_app
