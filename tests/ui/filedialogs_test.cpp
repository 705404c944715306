// The file dialogs' filters and the scripted stand-in the window tests use.
#include "filedialogs.h"

#include "sandbox.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(FileDialogs, ui_FiltersBecomeNameFiltersMatchingEitherCase)
{
    const struct
    {
        const char *filter;
        QStringList expected;
    } cases[] = {
        {"Tessmark一時ﾌｧｲﾙ(*.ktd)|*.KTD|すべてのファイル(*.*)|*.*",
         {"Tessmark一時ﾌｧｲﾙ(*.ktd) (*.KTD *.ktd)", "すべてのファイル(*.*) (*)"}},
        {"Tessmarkﾌｧｲﾙ(*.kgd)|*.kgd", {"Tessmarkﾌｧｲﾙ(*.kgd) (*.kgd *.KGD)"}},
        {"両方|*.kgd;*.KMD", {"両方 (*.kgd *.KGD *.KMD *.kmd)"}},
        // A description without its pattern is left out.
        {"a|*.a|b", {"a (*.a *.A)"}},
        {"", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(QtNameFilters(QString::fromUtf8(c.filter)), c.expected);
    }
}

// The toolkit's dialog starts with the request and answers the file and the filter chosen.
TEST(FileDialogs, ui_RealDialogStartsAsAskedAndAnswersTheChosenFilter)
{
    TestSandbox box;
    const QString file = box.writeFile(QStringLiteral("A.KTD"), "$T(\r\n");
    TFileDialogRequest request;
    request.Title = QStringLiteral("ファイルを開く");
    request.Filter = QStringLiteral("Tessmarkﾌｧｲﾙ(*.kgd)|*.kgd|Pavlinkｻﾝﾌﾟﾙ版ﾌｧｲﾙ(*.ksd)|*.KSD|"
                                    "すべてのファイル(*.*)|*.*");
    request.Folder = box.path();
    const QStringList nameFilters = QtNameFilters(request.Filter);

    // Start index, the entry the user picks (0: leaves it), the index answered.
    const int cases[][3] = {{3, 0, 3}, {2, 0, 2}, {3, 1, 1}, {1, 2, 2}, {9, 0, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c[0] * 10 + c[1]);
        request.FilterIndex = c[0];
        QString title, folder;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no file dialog";
                return;
            }
            title = dialog->windowTitle();
            folder = dialog->directory().absolutePath();
            if (c[1] > 0)
                dialog->selectNameFilter(nameFilters.at(c[1] - 1));
            dialog->selectFile(file);
            static_cast<QDialog *>(dialog)->accept();
        });
        TQtFileDialogs dialogs;
        const std::optional<TFileChoice> choice = dialogs.openFile(request);
        EXPECT_EQ(title, request.Title);
        EXPECT_EQ(folder, QDir(box.path()).absolutePath());
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(QFileInfo(choice->Path), QFileInfo(file));
        EXPECT_EQ(choice->FilterIndex, c[2]);
    }
}

} // namespace
