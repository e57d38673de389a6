#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

namespace tolvane {

// What the desktop says about the user that may hold a scheduled announcement back.
enum class DesktopSignal { Locked, DoNotDisturb, FullScreen, Microphone };
inline constexpr std::size_t kDesktopSignals = 4;

// Unknown: this desktop cannot tell, or has not answered yet; it counts as not busy.
enum class SignalState { Unknown, Off, On };
using SignalStates = std::array<SignalState, kDesktopSignals>;

// One signal as one desktop reports it, from one or more of its sources.
class DesktopSignalSource {
public:
    virtual ~DesktopSignalSource() = default;
    // Asks the desktop again; the answer may come later. Called only around a due moment and at
    // most every few seconds, so that an idle program asks nothing.
    virtual void Refresh() = 0;
    // The last answer.
    virtual SignalState State() const = 0;
};

// A source whose last answer is one state.
class SingleStateSignal : public DesktopSignalSource {
public:
    SignalState State() const override { return m_state; }

protected:
    SignalState m_state = SignalState::Unknown;
};

// One signal from several sources (a lock and a screen saver): on when any says so, off when
// none does and one answered.
constexpr SignalState AnyOn(std::initializer_list<SignalState> states) {
    SignalState result = SignalState::Unknown;
    for (SignalState state : states) {
        if (state == SignalState::On) return state;
        if (state == SignalState::Off) result = state;
    }
    return result;
}

}  // namespace tolvane
