#pragma once

#include <chrono>
#include <functional>
#include <random>

// Kills `run`, started in a child, after a delay that follows the operation's own pace (load on
// the machine changes it): later after a kill that came too early to change anything, earlier
// after one that came too late. So the kills keep falling on both sides of the operation's
// last step, however slow the machine is.
class CKiller {
public:
    CKiller(std::chrono::steady_clock::duration took, unsigned seed)
        : m_delay(std::chrono::duration<double, std::micro>(took).count() / 2), m_random(seed) {}

    // False when the child ended otherwise than by finishing well or by the kill.
    bool Kill(const std::function<void()>& run);

    // Tells what the last kill left: the operation's result, or what was there before.
    void Outcome(bool changed) {
        (changed ? m_changed : m_unchanged)++;
        m_delay = changed ? m_delay * 0.7 : m_delay * 1.3 + 200;
    }

    int Kills() const { return m_kills; }
    int Changed() const { return m_changed; }
    int Unchanged() const { return m_unchanged; }

private:
    double m_delay;
    std::mt19937 m_random;
    int m_kills = 0, m_changed = 0, m_unchanged = 0;
};

// How long `run` takes in a child that is left to finish; false when it did not finish well.
bool TimeInChild(const std::function<void()>& run, std::chrono::steady_clock::duration& took);
