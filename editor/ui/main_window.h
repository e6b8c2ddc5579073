// TForm1, the main window: menus, object tree, 3D view panel, texture panel, render modes,
// the box / lights / shiny tabs and the status bar. Handlers turn events into calls on the
// editor core and refresh the controls from it.
#pragma once

#include "bitmap_exchange.h"
#include "editor_document.h"
#include "scene.h"
#include "small_windows.h"
#include "texture_panel.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSettings;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TGLViewport;
class page_view_widget;

// Prompts through message boxes and file choosers.
class qt_prompts final : public editor_prompts {
  public:
    explicit qt_prompts(QWidget* parent) : parent_(parent) {}
    void message(const std::string& text) override;
    answer ask(const std::string& text, bool with_cancel) override;
    std::string choose_open_file(const std::string& filter) override;
    std::string choose_save_file(const std::string& filter) override;

  private:
    QWidget* parent_;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // `program_dir`: where config.opt, solid.bmp, trcatalog.xml and Readme.txt are. `store`: the
    // per-user settings (owned by the caller). `prompts`: null for message boxes.
    TForm1(const QString& program_dir, QSettings* store, editor_prompts* prompts = nullptr);
    ~TForm1() override;

    // Commands (menu items and controls).
    void OpenFile1Click();
    bool open_path(const QString& path);
    void recent_click(int index);
    void Save1Click();
    void SaveAs1Click();
    void Exit1Click();
    void TreeView1Change();
    void Button1Click(); // Center Camera
    void render_mode_click(int mode);
    void ComboBox1Change(int index);
    void ListBox1Click();
    void ComboBox2Change(int index);
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox12Click();
    void Image1MouseDown(int x, int y, bool shift, bool left);
    void Image1MouseMove(int x, int y);
    void Image1MouseUp();
    void DefineMouseSelected1Click();
    void ApplyIntensityAlpha1Click();
    // Texture bitmap exchange.
    void ExportBigBMP1Click();
    void ImportBigBMP1Click();
    void ExportCurrent1Click();
    void ImportReplaceCurrent1Click();
    void ExportAll1Click();
    void ImportAndReplace1Click();
    void ImportTexturePages1Click();
    void UpdateOpenGLBuffers1Click();
    void AutomaticOpenGLBuffersUpdate1Click();
    void choose_background(bool white);
    void EnablePerspectiveCorrection1Click();
    void select_tree_item(QTreeWidgetItem* item);
    // Selects moveable n in the tree (its node becomes the current item).
    void select_moveable(int n);

    editor_document doc;
    tr_scene scene;
    TGLViewport* viewport = nullptr;
    QString program_dir;
    QString config_path;
    config_options config;
    int language = 0;
    bool auto_gl_update = false;
    bool suppress_flip_events = false;
    bool setting_render_mode = false;
    int remembered_render_mode = 2;
    int current_page = 0;
    page_selection selection;
    QImage page_bitmap;
    int light_value = 0;

    // Controls, named as the window's design names them.
    QTreeWidget* TreeView1;
    QWidget* Panel1;
    QGroupBox *GroupBox1, *GroupBox2;
    QComboBox *ComboBox1, *ComboBox2;
    page_view_widget* Image1;
    QListWidget* ListBox1;
    QLabel* Image2;
    QLabel* Shape1;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox12;
    QPushButton *Button1, *Button2, *Button3;
    std::array<QRadioButton*, 4> render_buttons{};
    QTabWidget* PageControl1;
    QSpinBox* SpinEdit1;
    std::array<QSpinBox*, 6> box_fields{};
    QRadioButton *RadioButton4, *RadioButton5;
    QCheckBox* show_box_check;
    QSlider* light_slider;
    std::array<QLabel*, 3> status{};
    std::array<QAction*, 5> recent_items{};
    QAction *Undo1, *Redo1, *AutomaticUpdate1, *PerspectiveCorrection1;

    TForm2* loading = nullptr;
    TKeys* keys = nullptr;
    TReadme* readme = nullptr;
    TAbout* about = nullptr;
    TConfig* options = nullptr;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_menus();
    void build_controls();
    void refresh_after_open();
    void refresh_recent_items();
    void fill_box_fields(const scene_selection& s);
    void show_current_texture_preview(int index);
    void load_page(int page);
    void reload_gl_textures(const std::string& caption, const std::string& line);
    void set_hint(QObject* widget, const QString& text);
    void redraw();
    void save_settings_now();
    void apply_background();
    std::vector<int> selected_meshes() const;
    // Face textures of the selected moveable or mesh, for Export All / Import And Replace.
    bool selected_face_textures(std::vector<face_textures>& out, std::string& item_text) const;
    std::string choose_bitmap_to_write(const std::string& preset);
    bool report(const texture_result& r);
    void after_texture_import(bool upload_all);

    std::unique_ptr<qt_prompts> own_prompts_;
    editor_prompts* prompts_;
    QSettings* store_;
    std::map<QObject*, QString> hints_;
};
