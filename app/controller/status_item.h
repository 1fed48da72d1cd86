#pragma once
// What the controller shows in the tray. The Qt item implements it; tests use a fake.

#include <string>

namespace tarrow::app {

class StatusItem {
  public:
    virtual ~StatusItem() = default;
    // The mark drawn as blocking or not.
    virtual void setMark(bool blocking) = 0;
    // Drawn dimmed (the helper is missing).
    virtual void setDimmed(bool dimmed) = 0;
    virtual const std::string& toolTip() const = 0;
    // The tool tip, and the accessible name and value that go with it.
    virtual void setToolTip(const std::string& tip, const std::string& name,
                            const std::string& value) = 0;
};

}  // namespace tarrow::app
