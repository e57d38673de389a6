#include "qt/desktop/LinuxMicrophoneSignal.h"

#include <cstring>

namespace tolvane {

LinuxMicrophoneSignal::~LinuxMicrophoneSignal() {
    if (m_loop == nullptr) return;
    pa_threaded_mainloop_stop(m_loop);
    if (m_context != nullptr) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_free(m_loop);
}

void LinuxMicrophoneSignal::Refresh() {
    if (m_loop == nullptr) {
        m_loop = pa_threaded_mainloop_new();
        if (m_loop == nullptr) return;
        if (pa_threaded_mainloop_start(m_loop) < 0) {
            pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            return;
        }
    }
    pa_threaded_mainloop_lock(m_loop);
    if (m_context == nullptr || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
        if (m_context != nullptr) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        m_state = SignalState::Unknown;
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Tolvane");
        if (m_context != nullptr) {
            pa_context_set_state_callback(m_context, &OnContextState, this);
            // Never start a server of our own.
            pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        }
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void LinuxMicrophoneSignal::OnContextState(pa_context* context, void* self) {
    auto& signal = *static_cast<LinuxMicrophoneSignal*>(self);
    switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            pa_context_set_subscribe_callback(context, &OnChange, self);
            pa_operation_unref(pa_context_subscribe(
                context,
                static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                    PA_SUBSCRIPTION_MASK_SOURCE_OUTPUT),
                nullptr, nullptr));
            signal.m_looking = false;
            signal.Look();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            signal.m_state = SignalState::Unknown;
            break;
        default:
            break;
    }
}

void LinuxMicrophoneSignal::OnChange(pa_context*, pa_subscription_event_type_t, std::uint32_t,
                                     void* self) {
    static_cast<LinuxMicrophoneSignal*>(self)->Look();
}

void LinuxMicrophoneSignal::Look() {
    if (m_looking) {
        m_lookAgain = true;
        return;
    }
    m_looking = true;
    m_lookAgain = false;
    m_monitors.clear();
    m_recording = false;
    pa_operation* operation = pa_context_get_source_info_list(m_context, &OnSource, this);
    if (operation == nullptr) {
        m_looking = false;
        return;
    }
    pa_operation_unref(operation);
}

void LinuxMicrophoneSignal::OnSource(pa_context* context, const pa_source_info* source, int last,
                                     void* self) {
    auto& signal = *static_cast<LinuxMicrophoneSignal*>(self);
    if (last < 0) {
        signal.m_looking = false;
        return;
    }
    if (last == 0) {
        if (source->monitor_of_sink != PA_INVALID_INDEX) signal.m_monitors.insert(source->index);
        return;
    }
    pa_operation* operation = pa_context_get_source_output_info_list(context, &OnRecording, self);
    if (operation == nullptr) {
        signal.m_looking = false;
        return;
    }
    pa_operation_unref(operation);
}

void LinuxMicrophoneSignal::OnRecording(pa_context*, const pa_source_output_info* output, int last,
                                        void* self) {
    auto& signal = *static_cast<LinuxMicrophoneSignal*>(self);
    if (last == 0) {
        // Level meters (pavucontrol's, a panel's) record "peaks" only.
        const bool meter = output->resample_method != nullptr &&
                           std::strcmp(output->resample_method, "peaks") == 0;
        if (output->client != PA_INVALID_INDEX && output->corked == 0 && !meter &&
            !signal.m_monitors.contains(output->source)) {
            signal.m_recording = true;
        }
        return;
    }
    // A list that failed ends with a negative `last` and says nothing.
    if (last > 0) signal.m_state = signal.m_recording ? SignalState::On : SignalState::Off;
    signal.m_looking = false;
    if (signal.m_lookAgain) signal.Look();
}

}  // namespace tolvane
