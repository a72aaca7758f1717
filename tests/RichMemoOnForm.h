#pragma once
// A rich memo filling a shown form: the editor tests' common ground.

#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

class RichMemoOnForm : public testing::Test {
protected:
    void SetUp() override
    {
        form = Application.CreateForm<TForm>();
        form->SetClientSize(400, 300);
        memo = NewMemo();
        form->Show();
        PumpMessages();
    }
    void TearDown() override { Application.DestroyForm(form); }

    TRichMemo* NewMemo()
    {
        auto* m = form->Create<TRichMemo>();
        m->SetParent(form);
        m->SetBounds(0, 0, 400, 300);
        return m;
    }

    TForm* form = nullptr;
    TRichMemo* memo = nullptr;
};
