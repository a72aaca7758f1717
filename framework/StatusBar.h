#pragma once
// The platform's status bar without panels, as a container: the windows that
// use it put their own controls on it.

#include "framework/Controls.h"

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);

    // Read when the window is made. A grip only makes sense on a sizeable window.
    bool SizeGrip = false;

protected:
    void CreateParams(TCreateParams& params) override;
};
