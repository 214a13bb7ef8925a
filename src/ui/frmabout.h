#pragma once

#include <QDialog>

class QLabel;

namespace vellumi {

// The copyright window: the licence, edition, copyright paragraph, author and web address.
// It handles nothing; it only closes from its title bar.
class frmabout : public QDialog {
    Q_OBJECT
public:
    explicit frmabout(QWidget* parent);

private:
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
};

} // namespace vellumi
