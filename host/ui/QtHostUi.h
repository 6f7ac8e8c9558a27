// HostUi for people: Qt message boxes and dialogs.
#pragma once

#include "toolkit/HostUi.h"

class QtHostUi : public HostUi {
public:
    void showError(const QString &text, bool abort) override;
    void showException(const QString &text) override;
    void showInfo(const QString &text) override;
    void showAbout(const QString &title, const QString &text) override;
    bool searchList(const SearchRequest &request, SearchSource &source,
                    SearchChoice &choice) override;
    bool askText(const QString &caption, const QString &prompt, QString &value) override;
    QString askSaveFileName(const QString &title, const QString &filter,
                            const QString &initial) override;
    bool askYesNo(const QString &caption, const QString &question) override;
    bool askPrinter(QPrinter &printer) override;
    void previewReport(const QString &title, QPrinter &printer,
                       const std::function<int(QPrinter *)> &paint) override;
    // The actions are the menu of an "Exportar" button at the end of the
    // preview's tool bar.
    void previewReportWithActions(const QString &title, QPrinter &printer,
                                  const std::function<int(QPrinter *)> &paint,
                                  const QList<PreviewAction> &actions) override;
    bool editReport(ReportDefinition &def,
                    const std::function<QString(const ReportDefinition &)> &check) override;
    void previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions = {}) override;
    bool waitForWork(const QString &title, WorkProgress &work) override;
};
