// Group box with a caption; a container for other controls.
#pragma once

#include <QGroupBox>

class TGroupBox : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ title WRITE setTitle)

public:
    explicit TGroupBox(QWidget *parent = nullptr);
};
