#include "comments/classoverview.h"

#include "comments/commentlength.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora::comments {

ClassOverview::ClassOverview(QWidget* writer)
    : QWidget(writer, Qt::Window),
      progress_(new QLabel(this)),
      list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("ClassOverview"));
    setWindowTitle(QStringLiteral("全班评语一览"));
    setAttribute(Qt::WA_WindowPropagation);  // the writer's 宋体
    progress_->setObjectName(QStringLiteral("OverviewProgress"));
    list_->setObjectName(QStringLiteral("OverviewList"));
    list_->setHeaderLabels({QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("字数"),
                            QStringLiteral("重复句")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setToolTip(QStringLiteral("双击一个学生，在写评语窗口中打开"));
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress_);
    layout->addWidget(list_);
    resize(360, 480);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        Q_EMIT studentChosen(item->data(0, Qt::UserRole).toInt());
    });
}

void ClassOverview::showClass(const QList<StudentComment>& students, const ReuseIndex& reuse) {
    list_->clear();
    int enrolled = 0, written = 0;
    for (const StudentComment& student : students) {
        if (!student.enrolled)
            continue;
        ++enrolled;
        written += student.written() ? 1 : 0;
        auto* item = new QTreeWidgetItem(list_);
        item->setData(0, Qt::UserRole, student.number);
        item->setText(0, QString::number(student.number));
        item->setText(1, student.name);
        item->setText(2, student.written() ? QString::number(commentLength(student.comment))
                                           : QStringLiteral("未写"));
        item->setText(3, reuse.reuses(student) ? QStringLiteral("有") : QString());
        for (int column : {0, 2, 3}) item->setTextAlignment(column, Qt::AlignCenter);
    }
    progress_->setText(QStringLiteral("已完成 %1/%2").arg(written).arg(enrolled));
}

}  // namespace velmora::comments
