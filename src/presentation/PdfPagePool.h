#pragma once

#include "presentation/PageContent.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PdfFontSet;
class Report;

// Encodes and deflates pages on worker threads, a few pages ahead of the writer, and hands them
// back in page order. Memory stays flat: a fixed ring of page slots whose buffers are reused
// from page to page.
class PdfPagePool
{
public:
    // workers: threads encoding pages; level: libdeflate's compression level.
    PdfPagePool(const Report &report, PdfFontSet &fonts, int workers, int level);
    // Stops the workers (after the page each is on).
    ~PdfPagePool();
    PdfPagePool(const PdfPagePool &) = delete;
    PdfPagePool &operator=(const PdfPagePool &) = delete;

    // How many pages may be submitted and not yet taken.
    [[nodiscard]] int capacity() const { return int(m_slots.size()); }
    // Queues the next page. At most capacity() pages may be waiting to be taken.
    void submit(PageContent page);
    // The next page in order as a deflated content stream; valid until the next submit. Throws
    // what encoding it threw.
    const std::string &take();
    // After the last page: lets the workers end and hand the glyphs they used to the fonts.
    void finish();

private:
    struct Slot
    {
        enum class State { Free, Queued, Done };
        PageContent page;
        std::string content;
        std::string deflated;
        State state = State::Free;
        std::exception_ptr error;
    };
    void work(int level);
    void encodePages(int level);
    void stop();

    const Report &m_report;
    PdfFontSet &m_fonts;
    std::vector<Slot> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_done;
    long long m_submitted = 0;
    long long m_started = 0; // pages a worker has taken up
    long long m_taken = 0;
    bool m_stopping = false;
    std::exception_ptr m_startError; // a worker that could not start or ended in a failure
    std::vector<std::thread> m_threads;
};
