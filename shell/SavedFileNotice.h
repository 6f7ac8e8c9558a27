// The status bar's word on a file just written for the person (an export, a
// PDF, a saved report): "Arquivo gravado em PATH", elided in the middle so
// that the file's name stays in sight, and an "Abrir pasta" button that
// opens its folder in the desktop's file manager (QDesktopServices). When
// the desktop has no program to open folders with, a message gives the
// folder's path instead. Stays until the next file or message; hidden while
// there is nothing to tell.
#pragma once

#include <QWidget>

class ElidedLabel;
class QToolButton;

class SavedFileNotice : public QWidget {
    Q_OBJECT

public:
    explicit SavedFileNotice(QWidget *parent = nullptr);

    void showFile(const QString &path);
    QString file() const { return m_path; }
    // Opens the folder of the last file (the button's action); false when
    // no program could open it and the message was shown instead.
    bool openFolder() const;

private:
    ElidedLabel *m_text;
    QToolButton *m_open;
    QString m_path;
};
