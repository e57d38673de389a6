#pragma once

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>

#include <atomic>
#include <cstdint>
#include <set>

#include "base/DesktopSignals.h"

namespace tolvane {

// The microphone in use: a client of the PulseAudio server (or PipeWire's) recording from a
// source that is no monitor of an output, neither paused nor a level meter. Connected at the
// first look and subscribed to the server's changes from then on, on a thread of libpulse's
// own; without a server, unknown, and the next look tries again.
class LinuxMicrophoneSignal final : public DesktopSignalSource {
public:
    LinuxMicrophoneSignal() = default;
    ~LinuxMicrophoneSignal() override;
    LinuxMicrophoneSignal(const LinuxMicrophoneSignal&) = delete;
    LinuxMicrophoneSignal& operator=(const LinuxMicrophoneSignal&) = delete;

    void Refresh() override;
    SignalState State() const override { return m_state.load(); }

private:
    // On libpulse's thread.
    static void OnContextState(pa_context* context, void* self);
    static void OnChange(pa_context* context, pa_subscription_event_type_t type,
                         std::uint32_t index, void* self);
    static void OnSource(pa_context* context, const pa_source_info* source, int last, void* self);
    static void OnRecording(pa_context* context, const pa_source_output_info* output, int last,
                            void* self);
    void Look();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::atomic<SignalState> m_state{SignalState::Unknown};
    // A look at the server: its monitors, then its recordings; one at a time, again once done
    // when a change came meanwhile.
    std::set<std::uint32_t> m_monitors;
    bool m_recording = false;
    bool m_looking = false;
    bool m_lookAgain = false;
};

}  // namespace tolvane
