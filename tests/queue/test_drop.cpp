// Files dropped on the panel: only local file lists, effect copy, the source's
// order, and the queue that the drop makes.
#include "QueueFixture.h"

#include "panel/QueueDrop.h"
#include "shell/DropFileTarget.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace {

class Drop : public QueueFixture {
protected:
    void SetUp() override
    {
        QueueFixture::SetUp();
        RegisterPanelDropTarget(*panel);
    }

    static QMimeData* Files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data->setUrls(urls);
        return data;
    }

    // Enter over the panel; whether the panel took the drag, and with what action.
    bool Enter(QMimeData* data, Qt::DropActions allowed, Qt::DropAction* action = nullptr,
               Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QDragEnterEvent enter(QPoint(10, 10), allowed, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(panel.get(), &enter);
        if (action)
            *action = enter.dropAction();
        return enter.isAccepted();
    }

    bool DropOn(QMimeData* data, Qt::DropActions allowed, Qt::DropAction* action = nullptr)
    {
        Enter(data, allowed);
        QDropEvent drop(QPointF(10, 10), allowed, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(panel.get(), &drop);
        if (action)
            *action = drop.dropAction();
        return drop.isAccepted();
    }
};

TEST_F(Drop, DroppedFilesReplaceTheQueueInTheirOrderAndTheFirstPlays)
{
    Fill({"/old/1.avi", "/old/2.avi"}, 1);
    QueueActive = 1;
    std::unique_ptr<QMimeData> data(Files({"/v/c.avi", "/v/a.avi", "/v/b b.avi"}));
    Qt::DropAction action = Qt::IgnoreAction;

    EXPECT_TRUE(DropOn(data.get(), Qt::CopyAction | Qt::MoveAction, &action));

    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_EQ(Entries(), (QStringList{"/v/c.avi", "/v/a.avi", "/v/b b.avi"}));
    EXPECT_TRUE(WasSent(OpenOf("/v/c.avi")));
    EXPECT_EQ(QueueActive, 1);
    EXPECT_FALSE(panel->ShQueue->isHidden());
    EXPECT_TRUE(panel->ClearQueue1->isEnabled());
    EXPECT_TRUE(form->BtnDelAll->isEnabled());
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_TRUE(panel->DropFileTarget1->DroppedFiles.isEmpty());
}

TEST_F(Drop, ADropWhileAFileIsOpenClosesItFirst)
{
    MediaOpen = 1;
    std::unique_ptr<QMimeData> data(Files({"/v/a.avi"}));
    DropOn(data.get(), Qt::CopyAction);
    const long close = IndexOf("close vid");
    EXPECT_GE(close, 0);
    EXPECT_LT(close, IndexOf(OpenOf("/v/a.avi")));
}

TEST_F(Drop, WebLinksAndTextAreRefusedAndChangeNothing)
{
    Fill({"/old.avi"}, 0);
    std::unique_ptr<QMimeData> web(new QMimeData);
    web->setUrls({QUrl::fromLocalFile("/v/a.avi"), QUrl("https://example.com/b.avi")});
    EXPECT_FALSE(Enter(web.get(), Qt::CopyAction));
    EXPECT_FALSE(DropOn(web.get(), Qt::CopyAction));

    std::unique_ptr<QMimeData> text(new QMimeData);
    text->setText("/v/a.avi");
    EXPECT_FALSE(Enter(text.get(), Qt::CopyAction));
    EXPECT_FALSE(DropOn(text.get(), Qt::CopyAction));

    EXPECT_EQ(Entries(), QStringList{"/old.avi"});
    EXPECT_TRUE(mci.sent().empty());
}

TEST_F(Drop, ADragThatCannotCopyGetsNoEffect)
{
    std::unique_ptr<QMimeData> data(Files({"/v/a.avi"}));
    EXPECT_FALSE(Enter(data.get(), Qt::MoveAction | Qt::LinkAction));
    EXPECT_FALSE(DropOn(data.get(), Qt::MoveAction | Qt::LinkAction));
    EXPECT_EQ(form->ListBox1->count(), 0);

    Qt::DropAction action = Qt::IgnoreAction;
    EXPECT_TRUE(Enter(data.get(), Qt::CopyAction | Qt::MoveAction, &action, Qt::ShiftModifier));
    EXPECT_EQ(action, Qt::CopyAction);  // Shift asks for move, which the panel does not offer
}

TEST_F(Drop, FirstDroppedFileFailingToOpenClosesTheEditorAndKeepsTheNames)
{
    mci.answer(OpenOf("/v/dir"), {"", 296});
    form->show();
    std::unique_ptr<QMimeData> data(Files({"/v/dir", "/v/b.avi"}));
    DropOn(data.get(), Qt::CopyAction);
    EXPECT_EQ(mciErrors.size(), 1);
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(Entries(), (QStringList{"/v/dir", "/v/b.avi"}));
    EXPECT_EQ(QueueActive, 0);
}

TEST_F(Drop, NamesPastTheLimitEachShowTheMessage)
{
    QStringList names;
    for (int i = 0; i < QueueLimit + 2; ++i)
        names << QStringLiteral("/d/%1.avi").arg(i);
    std::unique_ptr<QMimeData> data(Files(names));
    DropOn(data.get(), Qt::CopyAction);
    EXPECT_EQ(form->ListBox1->count(), QueueLimit);
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(WasSent(OpenOf("/d/0.avi")));
}

TEST_F(Drop, RevokedPanelTakesNoDrops)
{
    RevokePanelDropTarget(*panel);
    EXPECT_FALSE(panel->acceptDrops());
    std::unique_ptr<QMimeData> data(Files({"/v/a.avi"}));
    DropOn(data.get(), Qt::CopyAction);
    EXPECT_EQ(form->ListBox1->count(), 0);

    RegisterPanelDropTarget(*panel);
    EXPECT_TRUE(panel->acceptDrops());
    DropOn(data.get(), Qt::CopyAction);
    EXPECT_EQ(form->ListBox1->count(), 1);
}

TEST(DropEffect, ShiftAndCtrlChooseAmongTheAllowedTypes)
{
    TDropFileTarget target;
    target.Dragtypes = DragTypeSet(dtCopy) | DragTypeSet(dtMove) | DragTypeSet(dtLink);
    const TShiftState none{Qt::NoModifier, Qt::LeftButton};
    const TShiftState shift{Qt::ShiftModifier, Qt::LeftButton};
    const TShiftState both{Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton};
    EXPECT_EQ(target.ChooseDropEffect(none, {}, 7), DropEffectCopy);
    EXPECT_EQ(target.ChooseDropEffect(shift, {}, 7), DropEffectMove);
    EXPECT_EQ(target.ChooseDropEffect(both, {}, 7), DropEffectLink);
    EXPECT_EQ(target.ChooseDropEffect(both, {}, 3), DropEffectCopy);
    EXPECT_EQ(target.ChooseDropEffect(none, {}, 6), DropEffectMove);
    EXPECT_EQ(target.ChooseDropEffect(none, {}, 0), DropEffectNone);

    target.Dragtypes = DragTypeSet(dtCopy);
    EXPECT_EQ(target.ChooseDropEffect(shift, {}, 7), DropEffectCopy);
    EXPECT_EQ(target.ChooseDropEffect(none, {}, 6), DropEffectNone);

    target.OnGetDropEffect = [](QObject*, const TShiftState&, const QPoint&, int& effect) {
        EXPECT_EQ(effect, DropEffectCopy | 0x80000000);
        effect = DropEffectLink;
    };
    EXPECT_EQ(target.ChooseDropEffect(none, {}, int(7u | 0x80000000u)), DropEffectLink);
}

} // namespace
