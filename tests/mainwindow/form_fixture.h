// A main window started in its own sandbox with the shipped tables, scripted message boxes and
// scripted file dialogs, and the sample files copied in.
#pragma once

#include "filedialogs.h"
#include "grid_form.h"
#include "messages.h"
#include "sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

// Every cell text of the grid, row by row.
inline QStringList gridTexts(const Tgrid_form &form)
{
    QStringList texts;
    for (int row = 0; row < form.SoundGrid->RowCount(); ++row)
        for (int col = 0; col < form.SoundGrid->ColCount(); ++col)
            texts.append(form.SoundGrid->Cells(col, row));
    return texts;
}

inline QStringList gridRow(const Tgrid_form &form, int row)
{
    QStringList texts;
    for (int col = 0; col < form.SoundGrid->ColCount(); ++col)
        texts.append(form.SoundGrid->Cells(col, row));
    return texts;
}

inline QStringList labelTexts(const Tgrid_form &form)
{
    return {form.lblTestCode->text(), form.lblPCode->text(), form.lblDepth->text(),
            form.lblTime->text(), form.lblGPS->text()};
}

class FormFixture : public ::testing::Test
{
protected:
    FormFixture() : messageScope(messages), dialogScope(dialogs)
    {
        for (const char *folder : {"program", "docs", "tmp", "data"})
            QDir(box.path()).mkpath(QLatin1String(folder));
        for (const char *name : {"Obstbl.tbl", "Weighttbl.tbl"})
            QFile::copy(QDir(shippedDataDir()).filePath(QLatin1String(name)),
                        QDir(programDir()).filePath(QLatin1String(name)));
    }

    QString programDir() const { return box.filePath(QStringLiteral("program")); }
    QString dataDir() const { return box.filePath(QStringLiteral("data")); }

    // A copy of a shipped sample in the sandbox, so saving beside it never touches the sources.
    QString sample(const QString &name) const
    {
        const QString target = QDir(dataDir()).filePath(name);
        if (!QFile::exists(target))
            QFile::copy(QDir(samplesDir()).filePath(name), target);
        return target;
    }

    // A window as after an ordinary start, its posted start-up work done.
    std::unique_ptr<Tgrid_form> started(const QStringList &arguments = {})
    {
        TGridFormOptions options;
        options.ProgramFolder = programDir();
        options.Settings = &box.settings();
        options.DocumentsFolder = box.filePath(QStringLiteral("docs"));
        options.TempFolder = box.filePath(QStringLiteral("tmp"));
        options.Arguments = arguments;
        options.DataFolder = box.filePath(QStringLiteral("appdata"));
        options.OpenUrl = [](const QUrl &) {
            return true;
        };
        auto form = std::make_unique<Tgrid_form>(options);
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    // A window showing one of the samples.
    std::unique_ptr<Tgrid_form> showing(const QString &sampleName)
    {
        auto form = started();
        EXPECT_EQ(form->OpenDataFile(sample(sampleName)), 0);
        EXPECT_TRUE(messages.AskedBoxes.isEmpty()) << messages.texts().join('|').toStdString();
        return form;
    }

    TestSandbox box;
    TScriptedMessages messages;
    TScopedMessages messageScope;
    TScriptedFileDialogs dialogs;
    TScopedFileDialogs dialogScope;
};
