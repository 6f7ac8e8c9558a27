// The status bar's word on a file just written for the person (an export, a
// PDF, a saved report): "Arquivo gravado em PATH" and an "Abrir pasta"
// button that opens its folder in the desktop's file manager
// (QDesktopServices). Stays until the next file or the next notice of a
// fault; hidden while there is nothing to tell.
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

class SavedFileNotice : public QWidget {
    Q_OBJECT

public:
    explicit SavedFileNotice(QWidget *parent = nullptr);

    void showFile(const QString &path);
    QString file() const { return m_path; }
    // Opens the folder of the last file (the button's action).
    void openFolder() const;

private:
    QLabel *m_text;
    QToolButton *m_open;
    QString m_path;
};
