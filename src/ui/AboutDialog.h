#pragma once

#include <QDialog>

namespace vellumi {

// The copyright window: the licence, edition, copyright paragraph, author and web address.
// It handles nothing; it only closes from its title bar.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

} // namespace vellumi
