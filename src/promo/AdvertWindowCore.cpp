#include "promo/AdvertWindowCore.h"

#include "about/WebAddresses.h"

namespace tolvane {

void AdvertWindowCore::Form_Load(AdvertView& view) {
    m_view = &view;
    m_view->Navigate(kAdvertPageUrl);
    m_view->Hide();
    m_taskbarHeight = m_view->MeasureTaskbarHeight();
    const AdvertSlidePlan plan = PlanAdvertSlide(m_view->Measure(), m_taskbarHeight);
    m_view->MoveTo(plan.start.left, plan.start.top);
    m_openPageOnClose = true;
}

void AdvertWindowCore::DocumentComplete() {
    if (!IsOpen()) return;
    m_view->Show();
    AdvertSlidePlan plan = PlanAdvertSlide(m_view->Measure(), m_taskbarHeight);
    for (std::size_t step = 0; step < plan.tops.size(); ++step) {
        m_pump.DispatchPending();
        // Closed between two steps: the window is gone and must not be touched.
        if (!IsOpen()) return;
        plan = PlanAdvertSlide(m_view->Measure(), m_taskbarHeight);
        if (step >= plan.tops.size()) return;
        m_view->SlideTo(plan.start.left, plan.tops[step]);
    }
}

void AdvertWindowCore::Form_Unload() {
    if (!m_openPageOnClose) return;
    m_openPageOnClose = false;
    m_view->OpenInBrowser(kPageOnCloseUrl);
}

}  // namespace tolvane
