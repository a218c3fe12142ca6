#pragma once
// A catalogue in a temporary program folder with photos in several PhotoBase
// files, and readers of what ended up in the tables.

#include "catalog/catalog.h"
#include "operations/photo_operations.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>

namespace mv::test {

struct Entry {
    qint64 id = 0, base = 0, album = 0, theme = 0;
    std::optional<qint64> rank;
    QString date, text, exif;
    bool video = false;
    QByteArray thumb;
};

inline std::map<qint64, Entry> entries(db::Connection &c)
{
    db::Query q(&c, db::CursorType::Static);
    q.setSql(QStringLiteral("select * from ListPhoto"));
    q.open();
    std::map<qint64, Entry> out;
    for (q.first(); !q.eof(); q.next()) {
        Entry e;
        e.id = q.intValue("id");
        e.base = q.intValue("Base");
        e.album = q.intValue("Albums");
        e.theme = q.intValue("Themes");
        if (!q.isNull("Rank"))
            e.rank = q.intValue("Rank");
        e.date = q.text("Date");
        e.text = q.text("Text");
        e.exif = q.text("Exif");
        e.video = q.boolValue("Video");
        e.thumb = q.bytes("SmallPhoto");
        out[e.id] = e;
    }
    return out;
}


inline void putImage(const QString &file, qint64 id, const QByteArray &bytes)
{
    db::Connection c(db::connectionText(file));
    c.open();
    db::Query q(&c, db::CursorType::Dynamic);
    q.setSql(QStringLiteral("select * from Photos where id=0"));
    q.open();
    q.append();
    q.setValue("Id", id);
    q.setValue("Photo", bytes);
    q.post();
}

inline QByteArray photoBytes(unsigned seed) { return jpeg::encode(randomBitmap(24 + int(seed % 7), 16, seed), 90); }

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog = std::make_unique<Catalog>(folder.path());
        catalog->openAtStartup();
        ASSERT_EQ(catalog->currentBaseId(), 1);
        catalog->ADOConnection1.execute("insert into Albums (Name) values ('Trips'), ('Family')");
        catalog->ADOConnection1.execute("insert into Themes (Name) values ('Sea'), ('Hills')");
    }

    QString base1() const { return folder.file("PhotoBase1.mdb"); }

    // Registers another PhotoBase file (created from the template unless told otherwise).
    qint64 addBase(const QString &name, bool readOnly = false, bool create = true)
    {
        const QString file = folder.file(name);
        if (create) {
            EXPECT_TRUE(files::copyOver(folder.file("FB.mdd"), file));
            files::clearReadOnly(file);
        }
        catalog->appendBase(file, name, readOnly);
        return Catalog::currentId(catalog->QVListB);
    }
    QString fileOf(qint64 base)
    {
        db::Query q(&catalog->ADOConnection1, db::CursorType::Static);
        q.setSql(QStringLiteral("select File from Bases where Id=") + QString::number(base));
        q.open();
        return q.eof() ? QString() : q.text("File");
    }

    // A catalogue entry and (unless a video) its image in the base's file.
    // The day orders the grid.
    QByteArray addPhoto(qint64 id, qint64 base, int day, bool video = false, std::optional<QString> file = {})
    {
        db::Query q(&catalog->ADOConnection1, db::CursorType::Dynamic);
        q.setSql("select * from ListPhoto where id=0");
        q.open();
        q.append();
        q.setValue("id", id);
        q.setValue("Base", base);
        q.setValue("Date", QStringLiteral("2021:03:%1 10:00:00").arg(day, 2, 10, QLatin1Char('0')));
        q.setValue("Albums", 1 + id % 2);
        q.setValue("Themes", 2 - id % 2);
        q.setValue("Rank", 2);
        q.setValue("Text", QStringLiteral("caption %1").arg(id));
        q.setValue("Exif", video ? folder.file(QStringLiteral("clip%1.avi").arg(id)) : QStringLiteral("|F2.8 %1").arg(id));
        q.setValue("Video", video);
        q.setValue("SmallPhoto", jpeg::encode(randomBitmap(10, 8, unsigned(id) + 1000), 90));
        q.post();
        if (video)
            return {};
        const QByteArray bytes = photoBytes(unsigned(id));
        putImage(file ? *file : fileOf(base), id, bytes);
        return bytes;
    }

    OperationHooks hooks()
    {
        OperationHooks h;
        h.status = [this](const QString &t) { statuses << t; };
        h.repaint = [this] { ++repaints; };
        h.selectList = [this] { go(); };
        return h;
    }
    void go()
    {
        ++goes;
        catalog->runCatalogueQuery({});
    }
    // Runs the query and marks the photos with these ids.
    void mark(std::initializer_list<qint64> ids)
    {
        catalog->runCatalogueQuery({});
        for (auto &t : catalog->thumbs())
            for (qint64 id : ids)
                if (t.id == id)
                    t.marked = true;
    }
    std::vector<qint64> gridIds() const
    {
        std::vector<qint64> out;
        for (const auto &t : catalog->thumbs())
            out.push_back(t.id);
        return out;
    }

    ScriptedUi ui;
    ProgramFolder folder;
    std::unique_ptr<Catalog> catalog;
    QStringList statuses;
    int repaints = 0;
    int goes = 0;
};

} // namespace mv::test
