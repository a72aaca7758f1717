#include "framework/Application.h"
#include "framework/Forms.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class TfrmTestMain : public TForm {
public:
    using TForm::TForm;

protected:
    void FormCloseQuery(bool& canClose) override
    {
        if (MainFormCloseQuery)
            MainFormCloseQuery(canClose);
    }
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    Application.Initialize();
    // A hidden main form, as the program has, so that no test form is the main one.
    Application.ShowMainForm = false;
    Application.CreateForm<TfrmTestMain>();
    // A test must never stop on a message box: an error nobody expected fails it.
    Application.OnException = [](const std::exception& e) { ADD_FAILURE() << "Unexpected error box: " << e.what(); };
    const int result = RUN_ALL_TESTS();
    Application.DestroyForms();
    return result;
}
