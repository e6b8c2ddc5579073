// The main window's construction and its handlers.
#include "main_window.h"

#include "gl_textures.h"
#include "gl_viewport.h"
#include "page_view.h"
#include "pixels.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>
#include <optional>

// ---- prompts ------------------------------------------------------------------------------

void qt_prompts::message(const std::string& text) {
    QMessageBox::information(parent_, "Vellum", QString::fromStdString(text));
}

answer qt_prompts::ask(const std::string& text, bool with_cancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (with_cancel) buttons |= QMessageBox::Cancel;
    const auto r = QMessageBox::question(parent_, "Vellum", QString::fromStdString(text), buttons);
    return r == QMessageBox::Yes ? answer::yes : r == QMessageBox::No ? answer::no : answer::cancel;
}

std::string qt_prompts::choose_open_file(const std::string& filter) {
    return QFileDialog::getOpenFileName(parent_, "Open", QString(), QString::fromStdString(filter))
        .toStdString();
}

std::string qt_prompts::choose_save_file(const std::string& filter) {
    // The overwrite question is the editor's own.
    return QFileDialog::getSaveFileName(parent_, "Save As", QString(), QString::fromStdString(filter),
                                        nullptr, QFileDialog::DontConfirmOverwrite)
        .toStdString();
}

// ---- construction -----------------------------------------------------------------------

namespace {

QLabel* status_panel(QStatusBar* bar, int width, const QString& text = QString()) {
    auto* l = new QLabel(text, bar);
    l->setMinimumWidth(width);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(l, width == 400 ? 1 : 0);
    return l;
}

} // namespace

TForm1::TForm1(const QString& dir, QSettings* store, editor_prompts* prompts)
    : program_dir(dir), store_(store) {
    if (!prompts) {
        own_prompts_ = std::make_unique<qt_prompts>(this);
        prompts = own_prompts_.get();
    }
    prompts_ = prompts;
    setWindowTitle(vellum_version_string);
    setAcceptDrops(true);
    config_path = program_dir + "/config.opt";
    std::string config_problem;
    config = read_config_opt(config_path.toStdString(), &config_problem);
    if (config.colour_bits != 16 && config.colour_bits != 24 && config.colour_bits != 32)
        config.colour_bits = 24;

    build_controls();
    build_menus();

    scene.level = doc.level.get();
    scene.meshes = &doc.meshes;
    scene.sel_moveable = -1;
    scene.sel_mesh = -1;
    scene.box_kind = 1;
    scene.show_box = 1;
    viewport->draw = [this](gl_api& gl) {
        draw_batch batch(gl);
        scene.Draw(batch);
    };
    viewport->no_click_pick = true;
    {
        // Kept by the viewport and uploaded when its context exists.
        TGLViewport* views[] = {viewport};
        upload_solid_texture(program_dir, views, viewport->colour_bits);
    }

    loading = new TForm2(this);
    keys = new TKeys(this);
    readme = new TReadme(program_dir, this);
    about = new TAbout(this);
    options = new TConfig(config_path, this);

    AutomaticOpenGLBuffersUpdate1Click(); // on at start
    apply_background();
    if (store_) load_settings(*store_, doc.recent, language);
    refresh_recent_items();
    if (!config_problem.empty()) statusBar()->showMessage(QString::fromStdString(config_problem), 10000);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const auto warning =
            screen_check_message(int(std::lround(screen->logicalDotsPerInch())), screen->size().width());
        if (!warning.empty()) prompts_->message(warning);
    }
}

TForm1::~TForm1() = default;

void TForm1::build_controls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(8, 8, 8, 0);

    TreeView1 = new QTreeWidget(central);
    TreeView1->setHeaderHidden(true);
    TreeView1->setMinimumSize(177, 200);
    TreeView1->setMaximumWidth(260);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeView1Change(); });

    Panel1 = new QWidget(central);
    Panel1->setMinimumSize(321, 300);
    auto* panel_layout = new QVBoxLayout(Panel1);
    panel_layout->setContentsMargins(1, 1, 1, 1);
    viewport = new TGLViewport(Panel1, config.colour_bits);
    panel_layout->addWidget(viewport);
    Panel1->setStyleSheet("QWidget#Panel1 { border: 1px solid gray; }");
    Panel1->setObjectName("Panel1");

    // Textures group.
    GroupBox1 = new QGroupBox("Textures", central);
    GroupBox1->setFixedWidth(273);
    auto* tex = new QVBoxLayout(GroupBox1);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setToolTip("Select a Texture Page...");
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int i) { ComboBox1Change(i); });
    Image1 = new page_view_widget(GroupBox1);
    connect(Image1, &page_view_widget::pressed, this, &TForm1::Image1MouseDown);
    connect(Image1, &page_view_widget::moved, this, &TForm1::Image1MouseMove);
    connect(Image1, &page_view_widget::released, this, [this](int, int) { Image1MouseUp(); });
    tex->addWidget(ComboBox1);
    tex->addWidget(Image1, 0, Qt::AlignHCenter);
    auto* lower = new QHBoxLayout;
    auto* list_box = new QVBoxLayout;
    list_box->addWidget(new QLabel("Texture List", GroupBox1));
    ListBox1 = new QListWidget(GroupBox1);
    ListBox1->setMinimumHeight(90);
    ListBox1->setMinimumWidth(110);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    list_box->addWidget(ListBox1);
    lower->addLayout(list_box, 1);
    auto* current = new QVBoxLayout;
    current->addWidget(new QLabel("Current Texture", GroupBox1), 0, Qt::AlignHCenter);
    Shape1 = new QLabel(GroupBox1);
    Shape1->setFixedSize(66, 66);
    Shape1->setStyleSheet("border: 1px solid white; background: black;");
    Image2 = new QLabel(Shape1);
    Image2->setGeometry(1, 1, 64, 64);
    Image2->setAlignment(Qt::AlignCenter);
    current->addWidget(Shape1, 0, Qt::AlignHCenter);
    ComboBox2 = new QComboBox(GroupBox1);
    ComboBox2->addItems({"Opaque", "Transparent", "Semi-Transparent"});
    ComboBox2->setToolTip("Opaque, Transparent or Semi-Transparent Attrib for the Current Texture...");
    connect(ComboBox2, &QComboBox::activated, this, [this](int i) { ComboBox2Change(i); });
    current->addWidget(ComboBox2);
    CheckBox1 = new QCheckBox("Flip Horizontal", GroupBox1);
    CheckBox2 = new QCheckBox("Flip Vertical", GroupBox1);
    CheckBox12 = new QCheckBox("Proportional", GroupBox1);
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::clicked, this, [this] { CheckBox2Click(); });
    connect(CheckBox12, &QCheckBox::clicked, this, [this] { CheckBox12Click(); });
    current->addWidget(CheckBox1);
    current->addWidget(CheckBox2);
    current->addWidget(CheckBox12);
    auto* io = new QHBoxLayout;
    Button2 = new QPushButton("Export", GroupBox1);
    Button3 = new QPushButton("Import", GroupBox1);
    connect(Button2, &QPushButton::clicked, this, [this] { ExportCurrent1Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { ImportReplaceCurrent1Click(); });
    io->addWidget(Button2);
    io->addWidget(Button3);
    current->addLayout(io);
    lower->addLayout(current);
    tex->addLayout(lower);

    // Render modes.
    GroupBox2 = new QGroupBox("Render Mode", central);
    auto* modes = new QHBoxLayout(GroupBox2);
    const char* mode_names[] = {"&Wireframe", "&Solid", "&Textured", "&Points"};
    for (int m = 0; m < 4; ++m) {
        render_buttons[std::size_t(m)] = new QRadioButton(mode_names[m], GroupBox2);
        modes->addWidget(render_buttons[std::size_t(m)]);
        connect(render_buttons[std::size_t(m)], &QRadioButton::toggled, this, [this, m](bool on) {
            if (on) render_mode_click(m);
        });
    }
    setting_render_mode = true;
    render_buttons[2]->setChecked(true);
    setting_render_mode = false;

    Button1 = new QPushButton("&Center Camera", central);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    // Boxes, lights and shiny effect tabs.
    PageControl1 = new QTabWidget(central);
    PageControl1->setMaximumHeight(130);
    auto* boxes = new QWidget;
    auto* bl = new QGridLayout(boxes);
    SpinEdit1 = new QSpinBox(boxes);
    SpinEdit1->setRange(0, 65535);
    bl->addWidget(new QLabel("Flag", boxes), 0, 0);
    bl->addWidget(SpinEdit1, 1, 0);
    const char* box_names[] = {"X1", "X2", "Y1", "Y2", "Z1", "Z2"};
    for (int k = 0; k < 6; ++k) {
        auto* s = new QSpinBox(boxes);
        s->setRange(-32768, 32767);
        box_fields[std::size_t(k)] = s;
        bl->addWidget(new QLabel(box_names[k], boxes), 0, k + 1);
        bl->addWidget(s, 1, k + 1);
    }
    RadioButton4 = new QRadioButton("Visibility", boxes);
    RadioButton5 = new QRadioButton("Colision", boxes);
    RadioButton5->setChecked(true);
    show_box_check = new QCheckBox("Show &Box", boxes);
    show_box_check->setChecked(true);
    bl->addWidget(RadioButton4, 2, 0, 1, 2);
    bl->addWidget(RadioButton5, 2, 2, 1, 2);
    bl->addWidget(show_box_check, 2, 4, 1, 2);
    connect(show_box_check, &QCheckBox::toggled, this, [this](bool on) {
        if (scene.sel_kind == 1 && scene.box_static >= 0) scene.show_box = on ? 1 : 0;
        redraw();
    });
    connect(RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        scene.box_kind = on ? 0 : 1;
        if (scene.box_static >= 0 && scene.sel_kind == 1) {
            scene_selection s;
            s.current_static = scene.box_static;
            s.fill_boxes_from_static = true;
            s.flags = SpinEdit1->value();
            fill_box_fields(s);
        }
        redraw();
    });
    PageControl1->addTab(boxes, "Boxes");
    auto* lights = new QWidget;
    auto* ll = new QHBoxLayout(lights);
    auto* light_group = new QGroupBox("White Light Intensity", lights);
    auto* lg = new QHBoxLayout(light_group);
    light_slider = new QSlider(Qt::Horizontal, light_group);
    light_slider->setRange(0, 31);
    lg->addWidget(light_slider);
    ll->addWidget(light_group);
    auto* enable_lights = new QCheckBox("&Enable Lights", lights);
    connect(enable_lights, &QCheckBox::toggled, this, [this](bool on) {
        doc.meshes.lights_enabled = on ? 1 : 0;
        redraw();
    });
    ll->addWidget(enable_lights);
    PageControl1->addTab(lights, "Static Meshes Lights");
    PageControl1->addTab(new QWidget, "TR4 and TRC Shiny Effect");

    grid->addWidget(TreeView1, 0, 0);
    grid->addWidget(Panel1, 0, 1, 1, 2);
    grid->addWidget(GroupBox1, 0, 3, 2, 1);
    grid->addWidget(PageControl1, 1, 0, 2, 2);
    grid->addWidget(Button1, 1, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(GroupBox2, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    status[0] = status_panel(statusBar(), 300);
    status[1] = status_panel(statusBar(), 400);
    status[2] = status_panel(statusBar(), 80, " X=       Y=");

    set_hint(TreeView1, "Select a Movable, Mesh or Static Mesh For Editing...");
    set_hint(viewport, "CLICK: Apply,    ALT+CLICK: Rotate,    CTRL+CLICK: Get.");
    set_hint(Shape1, "This texture will be aplied in the Selected Item");
    set_hint(Button2, "Export Current texture to BMP file...");
    set_hint(Button3, "Import a BMP file and replaces the current texture...");
    set_hint(GroupBox2, "Select one of this modes to Work...");
    set_hint(Button1, "Press to Center Camera...");
    set_hint(ListBox1, "List of All Textures. You can select one of them...");
    set_hint(Image1, "Click to select a Texture...");
    const char* box_hints[] = {"X_1 Coordinate...", "X_2 Coordinate...", "Y_1 Coordinate...",
                               "Y_2 Coordinate...", "Z_1 Coordinate...", "Z_2 Coordinate..."};
    for (int k = 0; k < 6; ++k)
        set_hint(box_fields[std::size_t(k)], box_hints[k]);
    set_hint(SpinEdit1, "Unknown meaning...");
    set_hint(RadioButton5, "Work With Colisional Boxes...");
    set_hint(RadioButton4, "Work With Visibility Boxes...");
    set_hint(light_group, "Select the Light Value for Static Meshes...");
    set_hint(central, "");
    set_hint(GroupBox1, "");
    set_hint(PageControl1, "");
    resize(808, 580);
}

void TForm1::build_menus() {
    auto* file = menuBar()->addMenu("&File");
    file->addAction("&Open", QKeySequence("Ctrl+O"), this, [this] { OpenFile1Click(); });
    file->addAction("S&ave", QKeySequence("Ctrl+S"), this, [this] { Save1Click(); });
    file->addAction("&Save As...", this, [this] { SaveAs1Click(); });
    file->addSeparator();
    file->addAction("Export to DXF")->setEnabled(false);
    file->addAction("Import DXF")->setEnabled(false);
    file->addSeparator();
    file->addAction("E&xit", QKeySequence("Ctrl+X"), this, [this] { Exit1Click(); });
    file->addSeparator();
    for (int i = 0; i < 5; ++i) {
        recent_items[std::size_t(i)] = file->addAction("None", this, [this, i] { recent_click(i); });
        recent_items[std::size_t(i)]->setObjectName(QString("None%1").arg(i + 1));
    }

    auto* edit = menuBar()->addMenu("Edit");
    Undo1 = edit->addAction("Undo", QKeySequence("Ctrl+U"));
    Redo1 = edit->addAction("Redo", QKeySequence("Ctrl+R"));
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);

    auto* textures = menuBar()->addMenu("Textures");
    textures->addAction("Export BigBMP", this, [this] { ExportBigBMP1Click(); });
    textures->addAction("Import BigBMP", this, [this] { ImportBigBMP1Click(); });
    textures->addSeparator();
    textures->addAction("Export Current to BMP", this, [this] { ExportCurrent1Click(); });
    textures->addAction("Import and Replace Current", this, [this] { ImportReplaceCurrent1Click(); });
    textures->addSeparator();
    textures->addAction("Export All", QKeySequence("Ctrl+E"), this, [this] { ExportAll1Click(); });
    textures->addAction("Import And Replace", QKeySequence("Ctrl+I"), this,
                        [this] { ImportAndReplace1Click(); });
    textures->addSeparator();
    textures->addAction("Import Texture Pages", this, [this] { ImportTexturePages1Click(); });
    textures->addAction("Define Mouse Selected", QKeySequence("Ctrl+D"), this,
                        [this] { DefineMouseSelected1Click(); });
    textures->addSeparator();
    textures->addAction("View Animated Textures")->setEnabled(false);

    auto* special = menuBar()->addMenu("Special");
    special->addAction("Convert Colored to Textured Faces", QKeySequence("Ctrl+T"))->setEnabled(false);
    special->addAction("Retexture", QKeySequence("Ctrl+M"))->setEnabled(false);
    special->addAction("Apply Intensity Alpha", QKeySequence("Ctrl+A"), this,
                       [this] { ApplyIntensityAlpha1Click(); });
    special->addAction("Remap Vertices", QKeySequence("Ctrl+V"))->setEnabled(false);

    auto* view = menuBar()->addMenu("View");
    auto* buffers = view->addMenu("OpenGL Buffers");
    AutomaticUpdate1 = buffers->addAction("Automatic OpenGL buffers Update", QKeySequence("F3"), this,
                                          [this] { AutomaticOpenGLBuffersUpdate1Click(); });
    AutomaticUpdate1->setCheckable(true);
    buffers->addAction("Update OpenGL buffers", this, [this] { UpdateOpenGLBuffers1Click(); });
    auto* background = view->addMenu("BackGround Color");
    background->addAction("White", this, [this] { choose_background(true); });
    background->addAction("Black", this, [this] { choose_background(false); });
    PerspectiveCorrection1 = view->addAction("Enable Perspective Correction", QKeySequence("F2"), this,
                                             [this] { EnablePerspectiveCorrection1Click(); });
    PerspectiveCorrection1->setCheckable(true);

    auto* help = menuBar()->addMenu("Help");
    help->addAction("Readme File", this, [this] { readme->show(); });
    help->addAction("Keys Guide", QKeySequence("F1"), this, [this] { keys->show(); });
    help->addAction("About...", this, [this] { about->exec(); });
    help->addSeparator();
    help->addAction("OpenGL Buffers Configuration", this, [this] {
        options->load();
        options->exec();
    });
    help->addAction("Language")->setEnabled(false);
}

// ---- hints -----------------------------------------------------------------------------

void TForm1::set_hint(QObject* widget, const QString& text) {
    hints_[widget] = text;
    widget->installEventFilter(this);
    if (auto* w = qobject_cast<QWidget*>(widget)) w->setMouseTracking(true);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        if (auto it = hints_.find(watched); it != hints_.end()) {
            status[0]->setText(it->second);
            if (watched == TreeView1 && event->type() == QEvent::Enter) TreeView1->setFocus();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- opening and saving ----------------------------------------------------------------

void TForm1::OpenFile1Click() {
    const auto path = prompts_->choose_open_file(level_file_filter);
    if (!path.empty()) open_path(QString::fromStdString(path));
}

bool TForm1::open_path(const QString& path) {
    if (!doc.confirm_close(*loading, *prompts_)) return false;
    const auto catalogue = (program_dir + "/trcatalog.xml").toStdString();
    if (!doc.open(path.toStdString(), catalogue, *loading, *prompts_)) return false;
    refresh_after_open();
    return true;
}

void TForm1::recent_click(int index) {
    const auto& entries = doc.recent.entries();
    if (std::size_t(index) >= entries.size()) return;
    const auto path = entries[std::size_t(index)];
    if (!doc.confirm_close(*loading, *prompts_)) return;
    const auto catalogue = (program_dir + "/trcatalog.xml").toStdString();
    if (doc.open_recent(path, catalogue, *loading, *prompts_)) refresh_after_open();
}

void TForm1::refresh_after_open() {
    scene.level = doc.level.get();
    scene.meshes = &doc.meshes;
    scene.sel_moveable = -1;
    scene.sel_mesh = -1;
    scene.box_static = -1;

    TreeView1->blockSignals(true);
    TreeView1->clear();
    std::function<QTreeWidgetItem*(const tree_node&)> make = [&](const tree_node& n) {
        auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(n.label)));
        item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(reinterpret_cast<quintptr>(&n)));
        for (const auto& c : n.children)
            item->addChild(make(c));
        return item;
    };
    auto* root = make(doc.tree);
    TreeView1->addTopLevelItem(root);
    root->setExpanded(true);
    TreeView1->blockSignals(false);

    reload_gl_textures("Loading \"" + file_name_of(doc.current_path) + "\" Level",
                       "Loading Textures in OpenGL Buffers...");
    GroupBox1->setTitle(QString::fromStdString(doc.texture_group_caption));

    ComboBox1->blockSignals(true);
    ComboBox1->clear();
    for (std::uint32_t p = 1; p <= doc.level->num_pages; ++p)
        ComboBox1->addItem(QString("Page#%1").arg(p));
    ComboBox1->setCurrentIndex(doc.level->num_pages ? 0 : -1);
    ComboBox1->blockSignals(false);
    load_page(0);

    ListBox1->blockSignals(true);
    ListBox1->clear();
    for (std::uint32_t i = 0; i < doc.level->num_object_textures; ++i)
        ListBox1->addItem(QString::fromStdString(texture_list_text(int(i))));
    ListBox1->blockSignals(false);
    if (ListBox1->count()) {
        ListBox1->setCurrentRow(0);
        ListBox1Click();
    }
    refresh_recent_items();
    const double p = light_slider->value();
    light_value = int(std::lround(doc.level->game_version <= game_tr2_gold ? p * 32767 / 31 : p * 8191 / 31));
    setWindowTitle(QString::fromStdString(doc.caption()));
    status[1]->clear();
    redraw();
}

void TForm1::reload_gl_textures(const std::string& caption, const std::string& line) {
    if (!doc.level->loaded()) return;
    loading->show_progress(caption);
    loading->add_progress_line(line);
    {
        gauge_link link(*doc.level, *loading);
        TGLViewport* views[] = {viewport};
        load_gl_textures(*doc.level, views, viewport->colour_bits);
    }
    loading->hide_progress();
}

void TForm1::Save1Click() {
    if (doc.save(*loading, *prompts_)) setWindowTitle(QString::fromStdString(doc.caption()));
}

void TForm1::SaveAs1Click() {
    if (doc.current_path.empty()) return;
    const auto path = prompts_->choose_save_file(level_file_filter);
    if (path.empty()) return;
    if (doc.save_as(path, *loading, *prompts_)) {
        refresh_recent_items();
        setWindowTitle(QString::fromStdString(doc.caption()));
        if (auto* root = TreeView1->topLevelItem(0))
            root->setText(0, QString::fromStdString(doc.current_name));
    }
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::closeEvent(QCloseEvent* e) {
    if (!doc.confirm_close(*loading, *prompts_)) {
        e->ignore();
        return;
    }
    save_settings_now();
    e->accept();
}

void TForm1::save_settings_now() {
    if (store_) save_settings(*store_, doc.recent, language);
}

void TForm1::refresh_recent_items() {
    const auto& e = doc.recent.entries();
    for (std::size_t i = 0; i < recent_items.size(); ++i)
        recent_items[i]->setText(i < e.size() ? QString::fromStdString(e[i]) : QString("None"));
}

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e) {
    const auto urls = e->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) open_path(urls.first().toLocalFile());
}

// ---- tree and view ---------------------------------------------------------------------

void TForm1::TreeView1Change() {
    select_tree_item(TreeView1->currentItem());
}

void TForm1::select_tree_item(QTreeWidgetItem* item) {
    const tree_node* node =
        item ? reinterpret_cast<const tree_node*>(quintptr(item->data(0, Qt::UserRole).toULongLong()))
             : nullptr;
    const auto s = select_node(node, *doc.level, doc.meshes, show_box_check->isChecked());
    scene.sel_moveable = s.sel_moveable;
    scene.sel_mesh = s.sel_mesh;
    scene.sel_kind = std::uint8_t(s.sel_kind);
    scene.show_box = s.show_box ? 1 : 0;
    if (s.box_static >= 0) scene.box_static = s.box_static;
    status[1]->clear();
    fill_box_fields(s);
    if (s.leave_points_mode && doc.meshes.render_mode == mode_points) {
        setting_render_mode = true;
        render_buttons[2]->setChecked(true);
        doc.meshes.render_mode = 2;
        setting_render_mode = false;
    }
    Button1Click();
}

void TForm1::select_moveable(int n) {
    auto* root = TreeView1->topLevelItem(0);
    if (!root || root->childCount() < 1) return;
    auto* movables = root->child(0);
    if (n < 0 || n >= movables->childCount()) return;
    movables->setExpanded(true);
    TreeView1->setCurrentItem(movables->child(n));
}

void TForm1::fill_box_fields(const scene_selection& s) {
    SpinEdit1->setValue(s.flags);
    const bool from_static = s.fill_boxes_from_static && s.current_static >= 0 &&
                             std::size_t(s.current_static) < doc.level->static_meshes.size();
    for (int k = 0; k < 6; ++k) {
        int v = 0;
        if (from_static) {
            const auto& st = doc.level->static_meshes[std::size_t(s.current_static)];
            v = get_i16(&st[std::size_t((RadioButton4->isChecked() ? 6 : 18) + 2 * k)]);
        }
        box_fields[std::size_t(k)]->setValue(v);
    }
}

void TForm1::Button1Click() {
    if (auto text = centre_on_selection(scene, viewport->nav, *viewport->camera)) {
        if (!text->empty()) status[1]->setText(QString::fromStdString(*text));
        redraw();
    }
}

void TForm1::redraw() {
    viewport->redraw();
}

void TForm1::render_mode_click(int mode) {
    if (setting_render_mode) return;
    // A whole moveable has no points mode: the button falls back to the remembered mode.
    if (mode == mode_points && scene.sel_kind == 0 && scene.sel_moveable >= 0) {
        setting_render_mode = true;
        render_buttons[std::size_t(remembered_render_mode)]->setChecked(true);
        setting_render_mode = false;
        return;
    }
    if (mode != mode_points) remembered_render_mode = mode;
    doc.meshes.render_mode = std::uint8_t(mode);
    redraw();
}

void TForm1::apply_background() {
    const bool white = config.white_background;
    viewport->set_background(white ? 0x00FFFFFFu : 0);
    scene.line_colour =
        white ? std::array<std::uint8_t, 3>{0, 0, 0} : std::array<std::uint8_t, 3>{255, 255, 255};
    redraw();
}

void TForm1::choose_background(bool white) {
    config.white_background = white;
    apply_background();
    try {
        write_config_background(config_path.toStdString(), white);
    } catch (const std::exception& e) {
        prompts_->message(e.what());
    }
}

void TForm1::EnablePerspectiveCorrection1Click() {
    scene.smooth_textures = scene.smooth_textures ? 0 : 1;
    PerspectiveCorrection1->setChecked(scene.smooth_textures != 0);
    redraw();
}

void TForm1::AutomaticOpenGLBuffersUpdate1Click() {
    auto_gl_update = !auto_gl_update;
    AutomaticUpdate1->setChecked(auto_gl_update);
}

void TForm1::UpdateOpenGLBuffers1Click() {
    reload_gl_textures("Working...", "Loading New Textures in OpenGL buffers...");
    redraw();
}

// ---- texture panel ---------------------------------------------------------------------

void TForm1::load_page(int page) {
    current_page = page;
    const auto& lv = *doc.level;
    if (!lv.loaded() || page < 0 || std::uint32_t(page) >= lv.num_pages) return;
    if (lv.game_version <= game_tr1_gold) {
        QImage img(256, 256, QImage::Format_Indexed8);
        img.setColorTable(make_palette8(lv.palette8));
        const std::size_t base = std::size_t(page) * 65536;
        for (int y = 0; y < 256; ++y)
            if (base + std::size_t(y + 1) * 256 <= lv.pages8.size())
                std::memcpy(img.scanLine(y), lv.pages8.data() + base + std::size_t(y) * 256, 256);
        page_bitmap = img;
    } else {
        page_bitmap = doc.table.pages_bitmap.copy(0, page * 256, 256, 256);
    }
    Image1->set_page(page_bitmap);
}

void TForm1::ComboBox1Change(int index) {
    if (!Image1->has_picture() && !doc.level->loaded()) return;
    load_page(index);
}

void TForm1::show_current_texture_preview(int i) {
    const auto& lv = *doc.level;
    const auto& t = lv.object_textures[std::size_t(i)];
    const auto b = texture_bounds(t);
    const int p = texture_page(t);
    QImage preview = copy_page_rect(doc.table.pages_bitmap, p, b).convertToFormat(QImage::Format_RGB888);
    ComboBox2->setCurrentIndex(t.attribute <= 2 ? t.attribute : -1);
    const auto m = texture_mirror(t);
    suppress_flip_events = true;
    preview = preview.mirrored(m.left_right, m.top_bottom);
    CheckBox1->setChecked(m.left_right);
    CheckBox2->setChecked(m.top_bottom);
    suppress_flip_events = false;
    if (is_triangle(t)) {
        QPainter painter(&preview);
        painter.setPen(Qt::white);
        QPoint c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = QPoint(t.corners[std::size_t(k)].x_frac == 255 ? preview.width() - 1 : 1,
                          t.corners[std::size_t(k)].y_frac == 255 ? preview.height() - 1 : 1);
        painter.drawLine(c[0], c[1]);
        painter.drawLine(c[1], c[2]);
        painter.drawLine(c[2], c[0]);
    }
    QPixmap pix = QPixmap::fromImage(preview);
    if (CheckBox12->isChecked() && (pix.width() > 64 || pix.height() > 64))
        pix = pix.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    else if (pix.width() > 64 || pix.height() > 64)
        pix = pix.copy((pix.width() - 64) / 2 > 0 ? (pix.width() - 64) / 2 : 0,
                       (pix.height() - 64) / 2 > 0 ? (pix.height() - 64) / 2 : 0, std::min(64, pix.width()),
                       std::min(64, pix.height()));
    Image2->setPixmap(pix);
    if (p < ComboBox1->count() && ComboBox1->currentIndex() != p)
        ComboBox1->setCurrentIndex(p); // reloads the page
    else
        load_page(p);
    Image1->set_texture_frame(QRect(QPoint(b.left, b.top), QPoint(b.right + 1, b.bottom + 1)));
}

void TForm1::ListBox1Click() {
    if (!Image1->has_picture()) return;
    const int i = ListBox1->currentRow();
    if (i < 0 || std::size_t(i) >= doc.level->object_textures.size()) return;
    show_current_texture_preview(i);
}

void TForm1::ComboBox2Change(int index) {
    const int i = ListBox1->currentRow();
    if (!Image1->has_picture() || i < 0 || index < 0) return;
    doc.level->object_textures[std::size_t(i)].attribute = std::uint16_t(index);
    doc.modified = true;
    redraw();
}

void TForm1::CheckBox1Click() {
    const int i = ListBox1->currentRow();
    if (suppress_flip_events || !Image1->has_picture() || i < 0) return;
    flip_horizontal(doc.level->object_textures[std::size_t(i)]);
    doc.modified = true;
    ListBox1Click();
    redraw();
}

void TForm1::CheckBox2Click() {
    const int i = ListBox1->currentRow();
    if (suppress_flip_events || !Image1->has_picture() || i < 0) return;
    flip_vertical(doc.level->object_textures[std::size_t(i)]);
    doc.modified = true;
    ListBox1Click();
    redraw();
}

void TForm1::CheckBox12Click() {
    ListBox1Click();
}

void TForm1::Image1MouseDown(int x, int y, bool shift, bool left) {
    if (!Image1->has_picture()) return;
    if (shift && left) {
        selection.press(x, y);
        Image1->set_selection_frame(QRect(x, y, 0, 0), false, false);
        return;
    }
    const int i = texture_at(*doc.level, current_page, x, y);
    if (i >= 0) {
        ListBox1->setCurrentRow(i);
        ListBox1Click();
    }
}

void TForm1::Image1MouseMove(int x, int y) {
    if (!Image1->has_picture()) return;
    if (selection.move(x, y))
        Image1->set_selection_frame(
            QRect(selection.start.x, selection.start.y, selection.width(), selection.height()),
            selection.hatched(), true);
    status[2]->setText(QString::fromStdString(page_position_text(x, y)));
    status[0]->setText("Click to select a Texture...");
}

void TForm1::Image1MouseUp() {
    selection.release();
}

void TForm1::DefineMouseSelected1Click() {
    if (!Image1->has_picture()) return;
    Image1->set_selection_frame(QRect(), false, false);
    std::string message;
    const int i = define_mouse_selected(*doc.level, current_page, selection, message);
    if (i < 0) {
        prompts_->message(message);
        return;
    }
    doc.modified = true;
    doc.table = build_texture_table(*doc.level);
    doc.table.level = doc.level.get();
    ListBox1->blockSignals(true);
    ListBox1->addItem(QString::fromStdString(texture_list_text(i)));
    ListBox1->setCurrentRow(i);
    ListBox1->blockSignals(false);
    ListBox1Click();
    {
        TGLViewport* views[] = {viewport};
        upload_texture(std::uint32_t(i + 1),
                       texture_bitmap(doc.table, i).convertToFormat(QImage::Format_RGB888),
                       viewport->colour_bits, views);
    }
    redraw();
}

std::vector<int> TForm1::selected_meshes() const {
    std::vector<int> out;
    if (scene.sel_kind == 0 && scene.sel_moveable >= 0) {
        const auto& m = doc.level->moveables[std::size_t(scene.sel_moveable)];
        const unsigned count = get_u16(&m[4]), first = get_u16(&m[6]);
        for (unsigned j = 0; j < count; ++j)
            out.push_back(mesh_for_pointer(doc.meshes, first + j));
    } else if (scene.sel_kind == 1 && scene.sel_mesh >= 0) {
        out.push_back(scene.sel_mesh);
    }
    return out;
}

void TForm1::ApplyIntensityAlpha1Click() {
    if (!Image1->has_picture()) return;
    const auto message = apply_intensity_alpha(*doc.level, doc.meshes, selected_meshes());
    if (!message.empty()) {
        prompts_->message(message);
        return;
    }
    doc.modified = true;
    redraw();
}

// ---- texture bitmap exchange -------------------------------------------------------------

namespace {
constexpr const char* bitmap_filter = "Bitmap Files (*.bmp)";
}

std::string TForm1::choose_bitmap_to_write(const std::string&) {
    const auto path = prompts_->choose_save_file(bitmap_filter);
    if (path.empty()) return {};
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && prompts_->ask(overwrite_question(path), false) != answer::yes)
        return {};
    return path;
}

bool TForm1::report(const texture_result& r) {
    if (!r.ok) prompts_->message(r.message);
    return r.ok;
}

void TForm1::after_texture_import(bool upload_all) {
    doc.modified = true;
    doc.table.level = doc.level.get();
    load_page(current_page);
    ListBox1Click();
    if (upload_all && auto_gl_update)
        reload_gl_textures("Working...", "Loading New Textures in OpenGL buffers...");
    redraw();
}

void TForm1::ExportBigBMP1Click() {
    if (!Image1->has_picture()) return;
    const auto root =
        TreeView1->topLevelItem(0) ? TreeView1->topLevelItem(0)->text(0).toStdString() : std::string();
    const auto path = choose_bitmap_to_write(big_bmp_file_name(root));
    if (!path.empty()) report(save_bitmap(export_big_bmp(doc.table), path));
}

void TForm1::ImportBigBMP1Click() {
    if (!Image1->has_picture()) return;
    const auto path = prompts_->choose_open_file(bitmap_filter);
    QImage bitmap;
    if (path.empty() || !report(load_bitmap(path, bitmap))) return;
    if (report(import_big_bmp(*doc.level, doc.table, bitmap))) after_texture_import(true);
}

void TForm1::ExportCurrent1Click() {
    const int i = ListBox1->currentRow();
    if (!Image1->has_picture() || i < 0) return;
    const auto path = choose_bitmap_to_write({});
    if (!path.empty()) report(save_bitmap(export_current(doc.table, i), path));
}

void TForm1::ImportReplaceCurrent1Click() {
    const int i = ListBox1->currentRow();
    if (!Image1->has_picture() || i < 0) return;
    const auto path = prompts_->choose_open_file(bitmap_filter);
    QImage bitmap, upload;
    if (path.empty() || !report(load_bitmap(path, bitmap))) return;
    if (!report(import_replace_current(*doc.level, doc.table, i, bitmap, &upload))) return;
    TGLViewport* views[] = {viewport};
    upload_texture(std::uint32_t(i + 1), upload, viewport->colour_bits, views);
    after_texture_import(false);
}

bool TForm1::selected_face_textures(std::vector<face_textures>& out, std::string& item_text) const {
    const auto* item = TreeView1->currentItem();
    if (!item) return false;
    item_text = item->text(0).toStdString();
    std::optional<std::vector<face_textures>> faces;
    if (scene.sel_kind == 0 && scene.sel_moveable >= 0)
        faces = moveable_face_textures(*doc.level, std::size_t(scene.sel_moveable));
    else if (scene.sel_kind == 1 && scene.sel_moveable < 0 && scene.box_static >= 0)
        faces = static_face_textures(*doc.level, std::size_t(scene.box_static));
    else if (scene.sel_kind == 1 && scene.sel_moveable >= 0 && item->parent()) {
        const auto& m = doc.level->moveables[std::size_t(scene.sel_moveable)];
        const int j = item->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(item));
        if (auto f = mesh_face_textures(*doc.level, std::size_t(get_u16(&m[6])) + std::size_t(j)))
            faces = std::vector<face_textures>{*f};
    }
    if (!faces) return false;
    out = std::move(*faces);
    return true;
}

void TForm1::ExportAll1Click() {
    if (!Image1->has_picture()) return;
    std::vector<face_textures> faces;
    std::string item_text;
    if (!selected_face_textures(faces, item_text)) return;
    QImage out;
    if (!report(export_all(*doc.level, doc.table, faces, out))) return;
    const auto path = choose_bitmap_to_write(pieces_file_name(item_text));
    if (!path.empty()) report(save_bitmap(out, path));
}

void TForm1::ImportAndReplace1Click() {
    if (!Image1->has_picture()) return;
    std::vector<face_textures> faces;
    std::string item_text;
    if (!selected_face_textures(faces, item_text)) return;
    const auto path = prompts_->choose_open_file(bitmap_filter);
    QImage bitmap;
    if (path.empty() || !report(load_bitmap(path, bitmap))) return;
    if (report(import_and_replace(*doc.level, doc.table, faces, bitmap))) after_texture_import(true);
}

void TForm1::ImportTexturePages1Click() {
    if (!Image1->has_picture()) return;
    const auto path = prompts_->choose_open_file(bitmap_filter);
    QImage bitmap;
    if (path.empty() || !report(load_bitmap(path, bitmap))) return;
    int first = 0;
    if (!report(import_texture_pages(*doc.level, doc.table, bitmap, &first))) return;
    ComboBox1->blockSignals(true);
    for (int p = ComboBox1->count() + 1; p <= int(doc.level->num_pages); ++p)
        ComboBox1->addItem(QString("Page#%1").arg(p));
    ComboBox1->blockSignals(false);
    doc.modified = true;
    doc.table.level = doc.level.get();
    redraw();
}
