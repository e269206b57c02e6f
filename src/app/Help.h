#pragma once

#include <QDialog>

// The window of the help and about pages. It lives on its own: closing it
// announces close() and the window deletes itself with its children.
class Help : public QDialog
{
    Q_OBJECT
public:
    explicit Help(QWidget* parent = nullptr);

    // The close() and resize() signals hide QWidget's functions of the same
    // names; these keep the widget versions reachable.
    using QDialog::resize;
    bool closeWindow() { return QWidget::close(); }

signals:
    void close();
    void resize();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
