// What only the widgets of the first three pages do: input filtering, the palette spin,
// enabling and hiding. The page rules themselves are tested on the models.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/pages/common_page_view.h"
#include "app/pages/general_page_view.h"
#include "app/pages/page_registry.h"
#include "app/pages/tuner_page_view.h"
#include "page_env.h"
#include "user_actions.h"

namespace qtk {

class PageViewsTest : public QObject {
  Q_OBJECT

  // Edits notice that they lose the focus only in an active window.
  static void Show(QWidget& view) {
    view.show();
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
  }

 private slots:
  void RegistryCreatesEveryPage() {
    testing::PageEnv env;
    ForEachPageRow([&](auto row) {
      const PageId id = decltype(row)::ModelType::kId;
      std::unique_ptr<SettingsPage> model = CreatePageModel(id, env.context);
      QVERIFY(model);
      QCOMPARE(model->Id(), id);
      std::unique_ptr<PageView> view(CreatePageView(id, *model, nullptr));
      QVERIFY(view);
      QCOMPARE(&view->model(), model.get());
    });
  }

  void EveryNamedFieldIsTheLabelOfAControlOnItsPage() {
    testing::PageEnv env;
    ForEachPageRow([&](auto row) {
      using Model = typename decltype(row)::ModelType;
      Model model(env.context);
      model.Load();
      std::unique_ptr<PageView> view(CreatePageView(Model::kId, model, nullptr));
      QVERIFY(view);
      QStringList labels;
      for (QLabel* label : view->findChildren<QLabel*>()) {
        QString text = label->text().simplified();
        // "OTA PID:0x": the prefix and the colon before it are not part of the name.
        if (text.endsWith(QStringLiteral("0x"))) {
          text.chop(2);
          text = text.trimmed();
        }
        // "Current Languages:": the colon ends the label, not the name.
        if (text.endsWith(QLatin1Char(':')))
          text.chop(1);
        labels << text.trimmed();
      }
      // A check box carries its own label.
      for (QCheckBox* box : view->findChildren<QCheckBox*>())
        labels << box->text().simplified();
      for (const PageField& field : model.Fields()) {
        if (field.kind == FieldKind::kList)
          continue;
        QVERIFY2(labels.contains(QString::fromStdString(field.name)), field.name.c_str());
      }
    });
  }

  void TunerEditsTakeOnlyTheirCharacters() {
    testing::PageEnv env;
    TunerPage model(env.context);
    model.Load();
    TunerPageView view(model);
    view.PutControls();
    user::TypeOver(view.base_address(), "g-Fz9");
    QCOMPARE(view.base_address()->text(), QStringLiteral("F9"));
    QCOMPARE(model.base_address, std::string("F9"));
    user::TypeOver(view.user_crystal(), "7a0000");
    QCOMPARE(view.user_crystal()->text(), QStringLiteral("65535"));  // 70000, clamped
    QCOMPARE(model.user_crystal(), 65535);
  }

  void TunerZoomIsCheckedWhenTheEditIsLeftOnceChanged() {
    testing::PageEnv env;
    TunerPage model(env.context);
    model.Load();
    TunerPageView view(model);
    view.PutControls();
    Show(view);
    // Leaving an edit the user did not change runs no rule.
    view.quality_zoom()->setFocus();
    user::Leave(view.quality_zoom());
    QVERIFY(env.dialogs.messages.empty());
    user::TypeOver(view.quality_zoom(), "45");
    QCOMPARE(model.quality_zoom(), 45);
    user::Leave(view.quality_zoom());
    QCOMPARE(view.quality_zoom()->text(), QStringLiteral("100"));
    QCOMPARE(env.dialogs.Texts(),
             std::vector<std::string>{"Signal quality zoom should be in 50 - 300!\n"});
    // Leaving the page finds nothing left to check.
    QVERIFY(model.Validate());
    QCOMPARE(env.dialogs.messages.size(), size_t(1));
  }

  void TunerBasicFormatHidesExtendedControlsAndFollowsIqEnable() {
    testing::PageEnv env({.config_version = 1});
    TunerPage model(env.context);
    model.Load();
    TunerPageView view(model);
    view.PutControls();
    Show(view);
    QVERIFY(view.extended_controls()->isHidden());
    QVERIFY(!view.tuner_list()->isHidden());
    QVERIFY(user::Pick(view.iq_enable(), "Disable"));
    QVERIFY(!view.q_set()->isEnabled());
    QVERIFY(user::Pick(view.iq_enable(), "Enable"));
    QVERIFY(view.q_set()->isEnabled());

    testing::PageEnv extended;
    TunerPage extended_model(extended.context);
    extended_model.Load();
    TunerPageView extended_view(extended_model);
    extended_view.PutControls();
    QVERIFY(!extended_view.extended_controls()->isHidden());
    QVERIFY(!extended_view.iq_enable()->isEnabled());
    QCOMPARE(extended_view.iq_enable()->count(), 0);
  }

  void CommonPaletteSpinWrapsAndRefillsTheStyles() {
    testing::PageEnv env;
    CommonPage model(env.context);
    model.Load();
    CommonPageView view(model);
    view.PutControls();
    Show(view);
    QCOMPARE(view.palette_count()->text(), QStringLiteral("4"));
    user::Click(view.palette_up());
    QCOMPARE(view.palette_count()->text(), QStringLiteral("1"));
    QCOMPARE(view.osd_palette()->count(), 1);
    user::Click(view.palette_down());
    QCOMPARE(view.palette_count()->text(), QStringLiteral("4"));
    user::TypeOver(view.palette_count(), "9");
    QCOMPARE(view.palette_count()->text(), QStringLiteral("1"));
    QCOMPARE(model.palette_count(), 1);
  }

  void CommonTextsTakeOnlyDisplayableCharacters() {
    testing::PageEnv env;
    CommonPage model(env.context);
    model.Load();
    CommonPageView view(model);
    view.PutControls();
    Show(view);
    user::TypeOver(view.power_on(), "k8.x-Ab");
    QCOMPARE(view.power_on()->text(), QStringLiteral("8-Ab"));
    QCOMPARE(model.power_on_text, std::string("8-Ab"));
    QCOMPARE(view.power_on()->maxLength(), 4);
    user::TypeOver(view.version(), "v");
    QKeyEvent accented(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0xE9)));
    QApplication::sendEvent(view.version(), &accented);
    QTest::keyClicks(view.version(), "1");
    QCOMPARE(view.version()->text(), QStringLiteral("v1"));
    QCOMPARE(model.version_text, std::string("v1"));
    user::TypeOver(view.volume(), "150");
    QCOMPARE(view.volume()->text(), QStringLiteral("0"));  // above MaxValue: MinValue
    QCOMPARE(view.volume_slider()->value(), 0);
    user::Slide(view.volume_slider(), Qt::Key_PageUp, 7);
    QCOMPARE(view.volume()->text(), QStringLiteral("70"));
    QCOMPARE(model.volume(), 70);
  }

  void CommonHidesCrcRomAndFollowsCustomerConfig() {
    testdata::DescriptionSpec d = testdata::RealisticDescription();
    d.Set("CommonConfig", "CustomerConfigEnable", 0);
    testing::PageEnv env({}, d);
    CommonPage model(env.context);
    model.Load();
    CommonPageView view(model);
    view.PutControls();
    QVERIFY(view.crc_rom_edit()->isHidden());
    QVERIFY(view.crc_rom_button()->isHidden());
    QVERIFY(view.crc_rom_label()->isHidden());
    QVERIFY(view.palette_count()->isHidden());
    QVERIFY(view.palette_count_label()->isHidden());
  }

  void EscapeNeverClosesTheWindowAroundThePage() {
    testing::PageEnv env;
    CommonPage model(env.context);
    model.Load();
    QDialog dialog;
    auto* view = new CommonPageView(model, &dialog);
    (new QVBoxLayout(&dialog))->addWidget(view);
    view->PutControls();
    dialog.show();
    view->version()->setFocus();
    QTest::keyClick(view->version(), Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
  }

  void GeneralButtonsFollowTheSelection() {
    testing::PageEnv env;
    GeneralPage model(env.context);
    model.Load();
    GeneralPageView view(model);
    view.PutControls();
    Show(view);
    QCOMPARE(view.chunk_list()->columnCount(), 5);
    QCOMPARE(view.chunk_list()->headerItem()->text(3), QStringLiteral("CRC"));
    // The File column is at least its given width and takes what the list has left.
    QVERIFY(view.chunk_list()->header()->sectionSize(4) >= 120);
    QCOMPARE(view.chunk_list()->topLevelItemCount(), 9);
    QVERIFY(!view.replace_button()->isEnabled());
    QVERIFY(!view.clear_button()->isEnabled());
    user::ClickItem(view.chunk_list(), view.chunk_list()->topLevelItem(6));
    QVERIFY(view.replace_button()->isEnabled());
    QVERIFY(!view.clear_button()->isEnabled());

    const std::string file = env.dir.File("emu.bin");
    testdata::WriteFile(file, testdata::PatternBytes(32));
    env.dialogs.chosen_paths.push_back(file);
    user::Click(view.replace_button());
    QCOMPARE(view.chunk_list()->topLevelItem(6)->text(4), QString::fromStdString(file));
    QVERIFY(view.clear_button()->isEnabled());
    user::Click(view.clear_button());
    QCOMPARE(view.chunk_list()->topLevelItem(6)->text(4), QString());
    QVERIFY(!view.clear_button()->isEnabled());
    view.chunk_list()->clearSelection();
    QVERIFY(!view.replace_button()->isEnabled());
  }
};

}  // namespace qtk

QTEST_MAIN(qtk::PageViewsTest)
#include "page_views_test.moc"
