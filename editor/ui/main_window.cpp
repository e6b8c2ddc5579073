// The main window's construction, menus, status hints and handlers.
#include "main_window.h"

#include "startup_report.h"

#include "bitmap_exchange.h"
#include "boxes_tab.h"
#include "camera.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "lights_tab.h"
#include "qt_prompts.h"
#include "shine_tab.h"
#include "texture_panel_widget.h"
#include "windows/about_window.h"
#include "windows/keys_window.h"
#include "windows/loading_window.h"
#include "windows/options_window.h"
#include "windows/readme_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

namespace {

constexpr const char* bitmap_filter = "Bitmap Files (*.bmp)";

// Tree items carry their node's kind and indices.
constexpr int kind_role = Qt::UserRole;
constexpr int index_role = Qt::UserRole + 1;
constexpr int parent_role = Qt::UserRole + 2;

tree_ref ref_of(const QTreeWidgetItem* item) {
    if (!item) return {};
    return {node_kind(item->data(0, kind_role).toInt()), item->data(0, index_role).toInt(),
            item->data(0, parent_role).toInt()};
}

QTreeWidgetItem* make_item(const tree_node& node) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(node.label)));
    item->setToolTip(0, item->text(0)); // long moveable names are cut off in a narrow tree
    item->setData(0, kind_role, int(node.ref.kind));
    item->setData(0, index_role, node.ref.index);
    item->setData(0, parent_role, node.ref.parent_index);
    for (const auto& child : node.children)
        item->addChild(make_item(child));
    return item;
}

QLabel* status_panel(QStatusBar* bar, int width, int stretch, const QString& text = QString()) {
    auto* label = new QLabel(text, bar);
    label->setMinimumWidth(width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(label, stretch);
    return label;
}

} // namespace

main_window::main_window(const QString& dir, QSettings* store, editor_prompts* prompts)
    : program_dir_(dir), store_(store) {
    setObjectName("TForm1");
    if (!prompts) {
        own_prompts_ = std::make_unique<qt_prompts>(this);
        prompts = own_prompts_.get();
    }
    prompts_ = prompts;
    setWindowTitle(vellum_version_string);
    setAcceptDrops(true);
    config_path_ = program_dir_ + "/config.opt";
    std::string config_problem;
    config_ = read_config_opt(config_path_.toStdString(), &config_problem);
    if (config_.colour_bits != 16 && config_.colour_bits != 24 && config_.colour_bits != 32)
        config_.colour_bits = 24;

    build_controls();
    build_menus();
    set_hints();

    viewport_->draw = [this](gl_api& gl) {
        draw_batch batch(gl);
        current_scene().Draw(batch);
    };
    // Picking is the window's: a click reaches on_viewport_clicked, which asks for the pick.
    viewport_->no_click_pick = true;
    connect(viewport_, &TGLViewport::clicked, this, &main_window::on_viewport_clicked);
    {
        // Kept by the viewport and uploaded when its context exists.
        TGLViewport* views[] = {viewport_};
        upload_solid_texture(program_dir_, views, viewport_->colour_bits);
    }

    loading_ = new loading_window(this);
    keys_ = new keys_window(this);
    readme_ = new readme_window(program_dir_, this);
    about_ = new about_window(this);
    options_ = new options_window(config_path_, this);

    toggle_automatic_gl_update(); // on at start
    apply_background();
    if (store_) load_settings(*store_, doc_.recent(), language_);
    refresh_recent_items();
    if (!config_problem.empty()) statusBar()->showMessage(QString::fromStdString(config_problem), 10000);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const auto warning =
            screen_check_message(int(std::lround(screen->logicalDotsPerInch())), screen->size().width());
        if (!warning.empty()) prompts_->message(warning);
    }
    fit_to_screen();
}

main_window::~main_window() = default;

// ---- construction -------------------------------------------------------------------------

void main_window::build_controls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QHBoxLayout(central);
    outer->setContentsMargins(8, 8, 8, 0);
    auto* columns = new QSplitter(Qt::Horizontal, central);
    columns->setChildrenCollapsible(false);
    outer->addWidget(columns);

    // Left: the tree and the view side by side, the tabs and Center Camera below them.
    auto* left = new QWidget(columns);
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(0, 0, 0, 0);
    auto* tree_and_view = new QSplitter(Qt::Horizontal, left);
    tree_and_view->setChildrenCollapsible(false);
    tree_ = new QTreeWidget(tree_and_view);
    tree_->setObjectName("TreeView1");
    tree_->setHeaderHidden(true);
    tree_->setMinimumSize(120, 150);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { on_tree_selection(item); });

    view_panel_ = new QWidget(tree_and_view);
    view_panel_->setObjectName("Panel1");
    view_panel_->setMinimumSize(240, 180);
    view_panel_->setStyleSheet("QWidget#Panel1 { border: 1px solid gray; }");
    auto* view_layout = new QVBoxLayout(view_panel_);
    view_layout->setContentsMargins(1, 1, 1, 1);
    viewport_ = new TGLViewport(view_panel_, config_.colour_bits);
    view_layout->addWidget(viewport_);
    tree_and_view->addWidget(tree_);
    tree_and_view->addWidget(view_panel_);
    tree_and_view->setStretchFactor(0, 0);
    tree_and_view->setStretchFactor(1, 1);
    tree_and_view->setSizes({177, 321});
    left_layout->addWidget(tree_and_view, 1);

    auto* below = new QHBoxLayout;
    tabs_ = new QTabWidget(left);
    tabs_->setObjectName("PageControl1");
    boxes_tab_ = new boxes_tab(doc_);
    lights_tab_ = new lights_tab(doc_);
    shine_tab_ = new shine_tab;
    tabs_->addTab(boxes_tab_, "Boxes");
    tabs_->addTab(lights_tab_, "Static Meshes Lights");
    tabs_->addTab(shine_tab_, "TR4 and TRC Shiny Effect");
    tabs_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    connect(boxes_tab_, &boxes_tab::view_changed, this, &main_window::redraw);
    connect(lights_tab_, &lights_tab::view_changed, this, &main_window::redraw);
    center_button_ = new QPushButton("&Center Camera", left);
    center_button_->setObjectName("Button1");
    connect(center_button_, &QPushButton::clicked, this, &main_window::center_camera);
    below->addWidget(tabs_, 1);
    below->addWidget(center_button_, 0, Qt::AlignTop);
    left_layout->addLayout(below);

    // Right: the texture panel, the render modes below it.
    auto* right = new QWidget(columns);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    texture_panel_ = new texture_panel_widget(doc_, right);
    texture_panel_->setMinimumWidth(273);
    connect(texture_panel_, &texture_panel_widget::edited, this, &main_window::redraw);
    connect(texture_panel_, &texture_panel_widget::pointer_moved, this, [this](const QString& text) {
        position_status_->setText(text);
        hint_status_->setText("Click to select a Texture...");
    });
    connect(texture_panel_, &texture_panel_widget::export_current_requested, this,
            &main_window::export_current);
    connect(texture_panel_, &texture_panel_widget::import_current_requested, this,
            &main_window::import_replace_current);
    right_layout->addWidget(texture_panel_, 1);

    render_group_ = new QGroupBox("Render Mode", right);
    render_group_->setObjectName("GroupBox2");
    auto* modes = new QHBoxLayout(render_group_);
    const char* captions[] = {"&Wireframe", "&Solid", "&Textured", "&Points"};
    const char* names[] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton6"};
    for (int m = 0; m < 4; ++m) {
        auto* button = new QRadioButton(captions[m], render_group_);
        button->setObjectName(names[m]);
        render_buttons_[std::size_t(m)] = button;
        modes->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, m](bool on) {
            if (on) on_render_mode_chosen(render_mode(m));
        });
    }
    refresh_render_buttons();
    right_layout->addWidget(render_group_);

    columns->addWidget(left);
    columns->addWidget(right);
    columns->setStretchFactor(0, 1);
    columns->setStretchFactor(1, 0);

    statusBar()->setObjectName("StatusBar1");
    hint_status_ = status_panel(statusBar(), 300, 0);
    selection_status_ = status_panel(statusBar(), 200, 1);
    position_status_ = status_panel(statusBar(), 80, 0, " X=       Y=");
}

void main_window::build_menus() {
    // Every item carries its component name as object name (language files, tests).
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& keys = {}) {
        auto* action = menu->addAction(caption);
        action->setObjectName(name);
        if (!keys.isEmpty()) action->setShortcut(keys);
        return action;
    };
    const auto on = [this](QAction* action, void (main_window::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    const auto menu = [this](const char* name, const QString& caption, QMenu* parent = nullptr) {
        QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    auto* file = menu("File1", "&File");
    on(item(file, "OpenFile1", "&Open", QKeySequence("Ctrl+O")), &main_window::open_file);
    on(item(file, "Save1", "S&ave", QKeySequence("Ctrl+S")), &main_window::save);
    on(item(file, "SaveAs1", "&Save As..."), &main_window::save_as);
    file->addSeparator();
    item(file, "ExporttoDXF1", "Export to DXF")->setEnabled(false);
    item(file, "ImportDXF1", "Import DXF")->setEnabled(false);
    file->addSeparator();
    connect(item(file, "Exit1", "E&xit", QKeySequence("Ctrl+X")), &QAction::triggered, this, &QWidget::close);
    file->addSeparator();
    for (int i = 0; i < 5; ++i) {
        recent_items_[std::size_t(i)] = item(file, "", "None");
        recent_items_[std::size_t(i)]->setObjectName(QString("None%1").arg(i + 1));
        connect(recent_items_[std::size_t(i)], &QAction::triggered, this, [this, i] { open_recent(i); });
    }

    auto* edit = menu("Edit1", "Edit");
    undo_action_ = item(edit, "Undo1", "Undo", QKeySequence("Ctrl+U"));
    redo_action_ = item(edit, "Redo1", "Redo", QKeySequence("Ctrl+R"));
    undo_action_->setEnabled(false);
    redo_action_->setEnabled(false);

    auto* textures = menu("Textures1", "Textures");
    on(item(textures, "ExportBigBMP1", "Export BigBMP"), &main_window::export_big_bmp);
    on(item(textures, "ImportBigBMP1", "Import BigBMP"), &main_window::import_big_bmp);
    textures->addSeparator();
    on(item(textures, "ExportCurrent1", "Export Current to BMP"), &main_window::export_current);
    on(item(textures, "ImportReplaceCurrent1", "Import and Replace Current"),
       &main_window::import_replace_current);
    textures->addSeparator();
    on(item(textures, "ExportAll1", "Export All", QKeySequence("Ctrl+E")), &main_window::export_all);
    on(item(textures, "ImportAndReplace1", "Import And Replace", QKeySequence("Ctrl+I")),
       &main_window::import_and_replace);
    textures->addSeparator();
    on(item(textures, "ImportTexturePages1", "Import Texture Pages"), &main_window::import_texture_pages);
    on(item(textures, "DefineMouseSelected1", "Define Mouse Selected", QKeySequence("Ctrl+D")),
       &main_window::define_mouse_selected);
    textures->addSeparator();
    item(textures, "ViewAnimatedTextures1", "View Animated Textures")->setEnabled(false);

    auto* special = menu("Special1", "Special");
    item(special, "ConvertColoredtoTexturedFaces1", "Convert Colored to Textured Faces",
         QKeySequence("Ctrl+T"))
        ->setEnabled(false);
    item(special, "Retexture1", "Retexture", QKeySequence("Ctrl+M"))->setEnabled(false);
    on(item(special, "ApplyIntensityAlpha1", "Apply Intensity Alpha", QKeySequence("Ctrl+A")),
       &main_window::apply_intensity_alpha);
    item(special, "RemapVertices1", "Remap Vertices", QKeySequence("Ctrl+V"))->setEnabled(false);

    auto* view = menu("View1", "View");
    auto* buffers = menu("OpenGLBuffers1", "OpenGL Buffers", view);
    automatic_update_action_ =
        item(buffers, "AutomaticOpenGLBuffersUpdate1", "Automatic OpenGL buffers Update", QKeySequence("F3"));
    automatic_update_action_->setCheckable(true);
    on(automatic_update_action_, &main_window::toggle_automatic_gl_update);
    on(item(buffers, "UpdateOpenGLBuffers1", "Update OpenGL buffers"), &main_window::update_gl_buffers);
    auto* background = menu("BackGroundColor1", "BackGround Color", view);
    connect(item(background, "White1", "White"), &QAction::triggered, this,
            [this] { choose_background(true); });
    connect(item(background, "Black1", "Black"), &QAction::triggered, this,
            [this] { choose_background(false); });
    perspective_action_ =
        item(view, "EnablePerspectiveCorrection1", "Enable Perspective Correction", QKeySequence("F2"));
    perspective_action_->setCheckable(true);
    on(perspective_action_, &main_window::toggle_perspective_correction);

    auto* help = menu("Help1", "Help");
    connect(item(help, "ReadmeFile1", "Readme File"), &QAction::triggered, this, [this] { readme_->show(); });
    connect(item(help, "KeysGuide1", "Keys Guide", QKeySequence("F1")), &QAction::triggered, this,
            [this] { keys_->show(); });
    connect(item(help, "About1", "About..."), &QAction::triggered, this, [this] { about_->exec(); });
    help->addSeparator();
    connect(item(help, "OpenGLBuffersConfiguration1", "OpenGL Buffers Configuration"), &QAction::triggered,
            this, [this] {
                options_->load();
                options_->exec();
            });
    item(help, "Language1", "Language")->setEnabled(false);
}

void main_window::fit_to_screen() {
    // The design size, never larger than the screen the window opens on.
    QSize size(808, 580);
    size = size.expandedTo(minimumSizeHint());
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(s->availableGeometry().size());
    resize(size);
}

// ---- status hints ------------------------------------------------------------------------

void main_window::set_hints() {
    // Panel 0 shows the hint of the control under the mouse, found by its component name.
    const std::pair<const char*, const char*> hints[] = {
        {"TreeView1", "Select a Movable, Mesh or Static Mesh For Editing..."},
        {"Shape1", "This texture will be aplied in the Selected Item"},
        {"Button2", "Export Current texture to BMP file..."},
        {"Button3", "Import a BMP file and replaces the current texture..."},
        {"GroupBox2", "Select one of this modes to Work..."},
        {"Button1", "Press to Center Camera..."},
        {"ListBox1", "List of All Textures. You can select one of them..."},
        {"Image1", "Click to select a Texture..."},
        {"SpinEdit2", "X_1 Coordinate..."},
        {"SpinEdit3", "X_2 Coordinate..."},
        {"SpinEdit4", "Y_1 Coordinate..."},
        {"SpinEdit5", "Y_2 Coordinate..."},
        {"SpinEdit6", "Z_1 Coordinate..."},
        {"SpinEdit7", "Z_2 Coordinate..."},
        {"SpinEdit1", "Unknown meaning..."},
        {"RadioButton5", "Work With Colisional Boxes..."},
        {"RadioButton4", "Work With Visibility Boxes..."},
        {"GroupBox4", "Select the Light Value for Static Meshes..."},
        {"GroupBox1", ""},
        {"PageControl1", ""},
    };
    for (const auto& [name, text] : hints)
        if (auto* w = findChild<QWidget*>(name)) set_hint(w, text);
    // The view fills Panel1 and receives its mouse moves.
    set_hint(viewport_, "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.");
    set_hint(centralWidget(), "");
}

void main_window::set_hint(QObject* widget, const QString& text) {
    hints_[widget] = text;
    widget->installEventFilter(this);
    if (auto* w = qobject_cast<QWidget*>(widget)) w->setMouseTracking(true);
}

bool main_window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        if (auto it = hints_.find(watched); it != hints_.end()) {
            hint_status_->setText(it->second);
            if (watched == tree_ && event->type() == QEvent::Enter) tree_->setFocus();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- opening and saving ------------------------------------------------------------------

void main_window::open_file() {
    const auto path = prompts_->choose_open_file(level_file_filter);
    if (!path.empty()) open_path(QString::fromStdString(path));
}

bool main_window::open_path(const QString& path) {
    if (!doc_.confirm_close(*loading_, *prompts_)) return false;
    const auto catalogue = (program_dir_ + "/trcatalog.xml").toStdString();
    if (!doc_.open(path.toStdString(), catalogue, *loading_, *prompts_)) return false;
    refresh_after_open();
    return true;
}

void main_window::open_recent(int index) {
    const auto& entries = doc_.recent().entries();
    if (std::size_t(index) >= entries.size()) return;
    const auto path = entries[std::size_t(index)];
    if (!doc_.confirm_close(*loading_, *prompts_)) return;
    const auto catalogue = (program_dir_ + "/trcatalog.xml").toStdString();
    if (doc_.open_recent(path, catalogue, *loading_, *prompts_)) refresh_after_open();
}

void main_window::refresh_after_open() {
    {
        const QSignalBlocker blocker(tree_);
        tree_->clear();
        auto* root = make_item(doc_.tree());
        tree_->addTopLevelItem(root);
        root->setExpanded(true);
    }
    startup_report::mark("tree view filled");
    reload_gl_textures("Loading \"" + file_name_of(doc_.current_path()) + "\" Level",
                       "Loading Textures in OpenGL Buffers...");
    startup_report::mark("texture uploads prepared");
    texture_panel_->refill();
    boxes_tab_->show_selection();
    refresh_recent_items();
    setWindowTitle(QString::fromStdString(doc_.caption()));
    selection_status_->clear();
    redraw();
    startup_report::mark("texture panel and controls");
}

void main_window::reload_gl_textures(const std::string& caption, const std::string& line) {
    if (!doc_.level().loaded()) return;
    loading_->show_progress(caption);
    loading_->add_progress_line(line);
    {
        const gauge_link link = doc_.gauge_to(*loading_);
        TGLViewport* views[] = {viewport_};
        load_gl_textures(doc_.level(), views, viewport_->colour_bits);
    }
    loading_->hide_progress();
}

void main_window::save() {
    if (doc_.save(*loading_, *prompts_)) setWindowTitle(QString::fromStdString(doc_.caption()));
}

void main_window::save_as() {
    if (doc_.current_path().empty()) return;
    const auto path = prompts_->choose_save_file(level_file_filter);
    if (path.empty()) return;
    if (!doc_.save_as(path, *loading_, *prompts_)) return;
    refresh_recent_items();
    setWindowTitle(QString::fromStdString(doc_.caption()));
    if (auto* root = tree_->topLevelItem(0)) {
        root->setText(0, QString::fromStdString(doc_.current_name()));
        root->setToolTip(0, root->text(0));
    }
}

void main_window::closeEvent(QCloseEvent* e) {
    if (!doc_.confirm_close(*loading_, *prompts_)) {
        e->ignore();
        return;
    }
    if (store_) save_settings(*store_, doc_.recent(), language_);
    e->accept();
}

void main_window::refresh_recent_items() {
    const auto& e = doc_.recent().entries();
    for (std::size_t i = 0; i < recent_items_.size(); ++i)
        recent_items_[i]->setText(i < e.size() ? QString::fromStdString(e[i]) : QString("None"));
}

void main_window::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void main_window::dropEvent(QDropEvent* e) {
    const auto urls = e->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) open_path(urls.first().toLocalFile());
}

// ---- tree, view and render modes -----------------------------------------------------------

void main_window::on_tree_selection(QTreeWidgetItem* item) {
    doc_.select(ref_of(item));
    selection_status_->clear();
    boxes_tab_->show_selection();
    refresh_render_buttons();
    center_camera();
}

void main_window::select_moveable(int n) {
    auto* root = tree_->topLevelItem(0);
    if (!root || root->childCount() < 1) return;
    auto* movables = root->child(0);
    if (n < 0 || n >= movables->childCount()) return;
    movables->setExpanded(true);
    tree_->setCurrentItem(movables->child(n));
}

tr_scene& main_window::current_scene() {
    doc_.show_in(scene_);
    return scene_;
}

void main_window::center_camera() {
    if (auto text = centre_on_selection(current_scene(), viewport_->nav, *viewport_->camera)) {
        if (!text->empty()) selection_status_->setText(QString::fromStdString(*text));
        redraw();
    }
}

void main_window::redraw() {
    viewport_->redraw();
}

void main_window::refresh_render_buttons() {
    auto* button = render_buttons_[std::size_t(doc_.current_render_mode())];
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

void main_window::on_render_mode_chosen(render_mode mode) {
    // A whole moveable has no points mode: the document falls back and the buttons follow.
    if (doc_.set_render_mode(mode) != mode) {
        for (auto* b : render_buttons_)
            b->blockSignals(true);
        render_buttons_[std::size_t(doc_.current_render_mode())]->setChecked(true);
        for (auto* b : render_buttons_)
            b->blockSignals(false);
    }
    redraw();
}

void main_window::on_viewport_clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
    if (button != Qt::LeftButton || !doc_.has_level()) return;
    const std::optional<picked_name> hit = viewport_->pick_at(at);
    if (!hit) return;
    const auto action = click_action_for(keys & Qt::ShiftModifier, keys & Qt::ControlModifier,
                                         keys & Qt::AltModifier, doc_.current_render_mode());
    const click_outcome out = doc_.click_face(*hit, action);
    if (!out.status_text.empty()) selection_status_->setText(QString::fromStdString(out.status_text));
    if (out.picked_texture) texture_panel_->set_current_texture(*out.picked_texture);
    redraw();
}

void main_window::apply_background() {
    const bool white = config_.white_background;
    viewport_->set_background(white ? 0x00FFFFFFu : 0);
    scene_.line_colour =
        white ? std::array<std::uint8_t, 3>{0, 0, 0} : std::array<std::uint8_t, 3>{255, 255, 255};
    redraw();
}

void main_window::choose_background(bool white) {
    config_.white_background = white;
    apply_background();
    try {
        write_config_background(config_path_.toStdString(), white);
    } catch (const std::exception& e) {
        prompts_->message(e.what());
    }
}

void main_window::toggle_perspective_correction() {
    scene_.smooth_textures = scene_.smooth_textures ? 0 : 1;
    perspective_action_->setChecked(scene_.smooth_textures != 0);
    redraw();
}

void main_window::toggle_automatic_gl_update() {
    auto_gl_update_ = !auto_gl_update_;
    automatic_update_action_->setChecked(auto_gl_update_);
}

void main_window::update_gl_buffers() {
    reload_gl_textures("Working...", "Loading New Textures in OpenGL buffers...");
    redraw();
}

// ---- texture commands -------------------------------------------------------------------------

bool main_window::report(const command_result& r) {
    if (!r.ok && !r.message.empty()) prompts_->message(r.message);
    return r.ok;
}

void main_window::define_mouse_selected() {
    if (!texture_panel_->has_picture()) return;
    if (!report(texture_panel_->define_marked_texture())) return;
    const int i = texture_panel_->current_texture();
    TGLViewport* views[] = {viewport_};
    upload_texture(std::uint32_t(i + 1), doc_.texture_picture(i).convertToFormat(QImage::Format_RGB888),
                   viewport_->colour_bits, views);
    redraw();
}

void main_window::apply_intensity_alpha() {
    if (!texture_panel_->has_picture()) return;
    if (report(doc_.apply_intensity_alpha())) redraw();
}

std::string main_window::choose_bitmap_to_write() {
    const auto path = prompts_->choose_save_file(bitmap_filter);
    if (path.empty()) return {};
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && prompts_->ask(overwrite_question(path), false) != answer::yes)
        return {};
    return path;
}

std::string main_window::choose_bitmap_to_read() {
    return prompts_->choose_open_file(bitmap_filter);
}

void main_window::after_texture_import(bool upload_all) {
    texture_panel_->refresh();
    if (upload_all && auto_gl_update_)
        reload_gl_textures("Working...", "Loading New Textures in OpenGL buffers...");
    redraw();
}

void main_window::export_big_bmp() {
    if (!texture_panel_->has_picture()) return;
    const auto path = choose_bitmap_to_write();
    if (!path.empty()) report(command_result::from(save_bitmap(doc_.export_big_bmp(), path)));
}

void main_window::import_big_bmp() {
    if (!texture_panel_->has_picture()) return;
    const auto path = choose_bitmap_to_read();
    QImage bitmap;
    if (path.empty() || !report(command_result::from(load_bitmap(path, bitmap)))) return;
    if (report(doc_.import_big_bmp(bitmap))) after_texture_import(true);
}

void main_window::export_current() {
    const int i = texture_panel_->current_texture();
    if (!texture_panel_->has_picture() || i < 0) return;
    const auto path = choose_bitmap_to_write();
    if (!path.empty()) report(command_result::from(save_bitmap(doc_.export_current(i), path)));
}

void main_window::import_replace_current() {
    const int i = texture_panel_->current_texture();
    if (!texture_panel_->has_picture() || i < 0) return;
    const auto path = choose_bitmap_to_read();
    QImage bitmap, upload;
    if (path.empty() || !report(command_result::from(load_bitmap(path, bitmap)))) return;
    if (!report(doc_.import_replace_current(i, bitmap, &upload))) return;
    TGLViewport* views[] = {viewport_};
    upload_texture(std::uint32_t(i + 1), upload, viewport_->colour_bits, views);
    after_texture_import(false);
}

void main_window::export_all() {
    // Nothing selected: nothing to export, silently.
    if (!texture_panel_->has_picture() || !doc_.selected_face_textures()) return;
    QImage out;
    if (!report(doc_.export_all(out))) return;
    const auto path = choose_bitmap_to_write();
    if (!path.empty()) report(command_result::from(save_bitmap(out, path)));
}

void main_window::import_and_replace() {
    if (!texture_panel_->has_picture() || !doc_.selected_face_textures()) return;
    const auto path = choose_bitmap_to_read();
    QImage bitmap;
    if (path.empty() || !report(command_result::from(load_bitmap(path, bitmap)))) return;
    if (report(doc_.import_and_replace(bitmap))) after_texture_import(true);
}

void main_window::import_texture_pages() {
    if (!texture_panel_->has_picture()) return;
    const auto path = choose_bitmap_to_read();
    QImage bitmap;
    if (path.empty() || !report(command_result::from(load_bitmap(path, bitmap)))) return;
    if (!report(doc_.import_texture_pages(bitmap))) return;
    texture_panel_->refresh();
    redraw();
}
