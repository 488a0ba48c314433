#pragma once

#include <QWidget>

class QLabel;

namespace quintara::settings {
class Strings;
}
namespace quintara::render {
class Pictures;
}

namespace quintara::ui {

// What the system says about itself for the splash form: the platform family (0 unidentified,
// 1 the old consumer Windows line, 2 the NT line, anything else another system) and its version.
struct PlatformInfo {
    int family = 3;
    QString version;
    QString name; // shown as designed for families the program does not name
};
PlatformInfo CurrentPlatform();

// The platform label's text.
QString PlatformText(const PlatformInfo &platform);
// "Version major.minor/revision" of a version text such as "1.0.7".
QString VersionText(const QString &version);

// The splash form shown while the main window loads.
class frmStart : public QWidget {
    Q_OBJECT
public:
    frmStart(const settings::Strings &strings, const PlatformInfo &platform,
             QWidget *parent = nullptr);
    ~frmStart() override;

    QLabel *lblVersion() const { return m_version; }
    QLabel *lblPlatform() const { return m_platform; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_version = nullptr;
    QLabel *m_platform = nullptr;
    std::unique_ptr<render::Pictures> m_pictures;
};

} // namespace quintara::ui
