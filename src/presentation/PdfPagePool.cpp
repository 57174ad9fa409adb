#include "presentation/PdfPagePool.h"

#include "presentation/PdfDeflater.h"
#include "presentation/PdfPageEncoder.h"

PdfPagePool::PdfPagePool(const Report &report, PdfFontSet &fonts, int workers, int level)
    : m_report(report), m_fonts(fonts), m_slots(size_t(std::max(1, workers)) * 3)
{
    for (int i = 0; i < std::max(1, workers); ++i)
        m_threads.emplace_back([this, level] { work(level); });
}

PdfPagePool::~PdfPagePool()
{
    stop();
}

void PdfPagePool::stop()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    for (std::thread &t : m_threads)
        t.join();
    m_threads.clear();
}

void PdfPagePool::finish()
{
    stop();
    if (m_startError)
        std::rethrow_exception(m_startError);
}

void PdfPagePool::submit(PageContent page)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        Slot &slot = m_slots[size_t(m_submitted % static_cast<long long>(m_slots.size()))];
        slot.page = std::move(page);
        slot.state = Slot::State::Queued;
        slot.error = nullptr;
        ++m_submitted;
    }
    m_queued.notify_one();
}

const std::string &PdfPagePool::take()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Slot &slot = m_slots[size_t(m_taken % static_cast<long long>(m_slots.size()))];
    m_done.wait(lock, [&] { return slot.state == Slot::State::Done || m_startError; });
    if (slot.state != Slot::State::Done)
        std::rethrow_exception(m_startError);
    slot.state = Slot::State::Free;
    ++m_taken;
    if (slot.error)
        std::rethrow_exception(slot.error);
    return slot.deflated;
}

void PdfPagePool::work(int level)
{
    // Nothing may leave a worker thread: what escapes ends the export through take() or
    // finish(), never the program.
    try {
        encodePages(level);
    } catch (...) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_startError)
            m_startError = std::current_exception();
        m_done.notify_all();
    }
}

void PdfPagePool::encodePages(int level)
{
    // Each worker lays out text with fonts of its own thread.
    const auto encoder = std::make_unique<PdfPageEncoder>(m_report, m_fonts);
    const auto deflater = std::make_unique<PdfDeflater>(level);
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [&] { return m_stopping || m_started < m_submitted; });
        if (m_started >= m_submitted)
            break; // stopping, and nothing left to do
        Slot &slot = m_slots[size_t(m_started % static_cast<long long>(m_slots.size()))];
        ++m_started;
        lock.unlock();
        try {
            encoder->encode(slot.page, slot.content);
            deflater->deflate(slot.content, slot.deflated);
        } catch (...) {
            slot.error = std::current_exception();
        }
        lock.lock();
        slot.state = Slot::State::Done;
        m_done.notify_all();
    }
    encoder->mergeGlyphUse();
}
