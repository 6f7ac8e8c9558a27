// HostUi and ReportUi for people: Qt message boxes and dialogs.
#pragma once

#include "core/HostUi.h"
#include "report/commands/ReportUi.h"

class QtHostUi : public HostUi, public ReportUi {
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
    bool askPrinter(QPrinter &printer, const QString &fileName) override;
    bool editReport(ReportDefinition &def,
                    const std::function<QString(const ReportDefinition &)> &check) override;
    // The actions are the menu of an "Exportar" button at the end of the
    // preview's tool bar.
    void previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions = {}) override;
    bool waitForWork(const QString &title, Work &work) override;
};
