#pragma once

#include <QWidget>
#include <memory>

class Report;
class ReportViewer;

// The preview window: a resizable window filled by the report viewer, showing the report
// object it holds (ReportName). It loads when shown: the report is laid out under the busy
// pointer and shown fitted to the page width. Esc, Ctrl+W and the toolbar's Close close it.
class RptReportViewer : public QWidget
{
    Q_OBJECT
public:
    explicit RptReportViewer(QWidget *parent = nullptr);
    ~RptReportViewer() override;

    [[nodiscard]] Report *ReportName() const { return m_report.get(); }
    // Takes the report object to show or print, replacing the one held, and captions the
    // window with that report's own title and criteria.
    void setReportName(std::unique_ptr<Report> report);
    // Captions the window "TITLE - CRITERIA" with the criteria of the report held.
    void setCaption(const QString &title);

    // Clears background colours so the report prints on plain paper: text and field objects
    // become transparent, boxes white; objects whose name begins with "NO", in any letter
    // case, are left as they are, and so is every other kind of object.
    void RemoveObjectColors();

    // Shows the window modally over its owner and returns when it is closed. The owner does
    // not own the object: the preview window slot does (or, for a detail, the window itself).
    void showModal(QWidget *owner);

    [[nodiscard]] ReportViewer *CRViewer91() const { return m_viewer; }
    [[nodiscard]] bool isLoaded() const { return m_loaded; }

Q_SIGNALS:
    // The window was closed by its user (or by a program acting for them).
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void load();
    // Opens the detail report a summary's row (or a figure of it: object) leads to, in a
    // preview window of its own: beside this one, or modal over it when this one is modal, so
    // that it takes input at once.
    void openRow(int tableRow, int object);
    // The first time it is shown: sized to a page's width and centred on the screen.
    void placeOnScreen();

    std::unique_ptr<Report> m_report;
    ReportViewer *m_viewer;
    bool m_loaded = false;
    bool m_placed = false;
};
