// The main window's construction, menus, status hints, view handlers and what an open refreshes.
#include "main_window.h"

#include "startup_report.h"

#include "boxes_tab.h"
#include "file_commands.h"
#include "gl_textures.h"
#include "gl_viewport.h"
#include "help_menu.h"
#include "history_commands.h"
#include "interface_language.h"
#include "language_applier.h"
#include "language_window.h"
#include "lights_tab.h"
#include "menu_items.h"
#include "mesh_exchange_commands.h"
#include "object_tree_panel.h"
#include "qt_prompts.h"
#include "render_mode_group.h"
#include "shine_tab.h"
#include "status_hints.h"
#include "texture_commands.h"
#include "texture_panel_widget.h"
#include "translated_loading_window.h"
#include "view_options.h"
#include "windows/animated_textures_window.h"
#include "windows/loading_window.h"
#include "windows/options_window.h"
#include "windows/readme_window.h"
#include "windows/remap_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QLabel* status_panel(QStatusBar* bar, int width, int stretch, const QString& text = QString()) {
    auto* label = new QLabel(text, bar);
    label->setMinimumWidth(width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(label, stretch);
    return label;
}

} // namespace

main_window::main_window(const data_folders& folders, QSettings* store, editor_prompts* prompts)
    : program_dir_(folders.data), user_dir_(folders.user), store_(store) {
    setObjectName("TForm1");
    if (!prompts) {
        own_prompts_ = std::make_unique<qt_prompts>(this);
        prompts = own_prompts_.get();
    }
    prompts_ = prompts;
    setWindowTitle(vellum_version_string);
    setAcceptDrops(true);
    config_path_ = folders.writable_copy("config.opt");
    user_message config_problem;
    config_ = read_config_opt(config_path_.toStdString(), &config_problem);
    if (config_.colour_bits != 16 && config_.colour_bits != 24 && config_.colour_bits != 32)
        config_.colour_bits = 24;

    build_controls();
    // The menu bar is made now, its menus once the commands exist (build_menus). It must come
    // before the language window among this window's children: a language file's text goes to the
    // first control of its name, and that window's search field shares the Edit menu's name.
    menuBar();
    set_hints();

    viewport_->set_draw([this](gl_api& gl) {
        draw_batch batch(gl);
        tr_scene& scene = current_scene();
        // Vertex markers of about three screen pixels, whatever the zoom.
        viewport_->set_zoom_dependent(doc_.current_render_mode() == render_mode::points);
        scene.point_radius = viewport_->marker_radius(3.0);
        scene.Draw(batch);
    });
    viewport_->set_draws_nothing([this] { return doc_.selection().kind == selection_kind::none; });
    // Picking is the window's: a click reaches on_viewport_clicked, which asks for the pick.
    connect(viewport_, &gl_viewport::clicked, this, &main_window::on_viewport_clicked);
    {
        // Kept by the viewport and uploaded when its context exists.
        gl_viewport* views[] = {viewport_};
        upload_solid_texture(program_dir_, views, viewport_->colour_bits());
    }

    {
        // The loading window's caption and lines in the interface language.
        auto* loading = new translated_loading_window(this);
        loading->word = [this](const user_message& m) {
            return interface_ ? interface_->word(m) : m.english;
        };
        loading_ = loading;
    }
    help_ = std::make_unique<help_menu>(*this, program_dir_, config_path_);
    help_->options().tell = [this](const user_message& m) { prompts_->message(m); };
    remap_ = new remap_window(this);
    animated_ = new animated_textures_window(this);
    animated_->text = [this](const char* key, const QStringList& values, const QString& english) {
        const QString t = interface_->text(key, values);
        return t.isEmpty() ? english : t;
    };
    animated_->select_texture = [this](int t) { texture_panel_->set_current_texture(t); };
    build_language_wiring();
    build_commands();
    build_menus();

    if (store_) load_settings(*store_, doc_.recent(), language_);
    // Until a level is open, the choosers start in the folder of the last one.
    if (own_prompts_ && !doc_.recent().entries().empty())
        own_prompts_->start_in(
            QFileInfo(QString::fromStdString(doc_.recent().entries().front())).absolutePath());
    interface_->select(language_);
    for (const QString& problem : interface_->window().start_up_problems())
        prompts_->message(problem.toStdString());
    refresh_recent_items();
    // In the hint panel: a temporary status message would be drawn over the permanent panels.
    if (!config_problem.empty()) hint_status_->setText(shown(config_problem));
    connect(&doc_.history(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    refresh_level_actions();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const auto warning =
            screen_check_message(int(std::lround(screen->logicalDotsPerInch())), screen->size().width());
        if (!warning.empty()) prompts_->message(warning);
    }
    fit_to_screen();
}

main_window::~main_window() = default;

language_window& main_window::languages() {
    return interface_->window();
}

// ---- construction -------------------------------------------------------------------------

void main_window::build_controls() {
    // Splitters the user can drag and scroll areas where a panel is taller or wider than the room
    // it gets, so the whole window works on small screens and at large scale factors: the tree and
    // the view side by side above the tabs and Center Camera, the texture panel and the render
    // modes on the right.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QHBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 0);
    auto* columns = new QSplitter(Qt::Horizontal, central);
    columns->setObjectName("columns");
    columns->setChildrenCollapsible(false);
    outer->addWidget(columns);

    auto* left = new QSplitter(Qt::Vertical, columns);
    left->setObjectName("view_and_tabs");
    left->setChildrenCollapsible(false);
    tree_and_view_ = new QSplitter(Qt::Horizontal, left);
    tree_and_view_->setChildrenCollapsible(false);
    tree_ = new object_tree_panel(tree_and_view_);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { on_tree_selection(item); });

    view_panel_ = new QWidget(tree_and_view_);
    view_panel_->setObjectName("Panel1");
    view_panel_->setMinimumSize(200, 150);
    view_panel_->setStyleSheet("QWidget#Panel1 { border: 1px solid gray; }");
    auto* view_layout = new QVBoxLayout(view_panel_);
    view_layout->setContentsMargins(1, 1, 1, 1);
    viewport_ = new gl_viewport(config_.colour_bits);
    view_layout->addWidget(viewport_->container(view_panel_));
    tree_and_view_->addWidget(tree_);
    tree_and_view_->addWidget(view_panel_);
    tree_and_view_->setStretchFactor(0, 0);
    tree_and_view_->setStretchFactor(1, 1);
    tree_and_view_->setSizes({220, 400});

    const auto scrolled = [](QWidget* inside, QWidget* parent) {
        auto* area = new QScrollArea(parent);
        area->setWidget(inside);
        area->setWidgetResizable(true);
        area->setFrameShape(QFrame::NoFrame);
        return area;
    };
    auto* below = new QWidget;
    auto* below_layout = new QHBoxLayout(below);
    below_layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(below);
    tabs_->setObjectName("PageControl1");
    boxes_tab_ = new boxes_tab(doc_);
    boxes_tab_->word = [this](const user_message& m) { return shown(m); };
    lights_tab_ = new lights_tab(doc_);
    shine_tab_ = new shine_tab;
    tabs_->addTab(boxes_tab_, "Boxes");
    tabs_->addTab(lights_tab_, "Static Meshes Lights");
    tabs_->addTab(shine_tab_, "TR4 and TRC Shiny Effect");
    connect(boxes_tab_, &boxes_tab::view_changed, this, &main_window::redraw);
    connect(boxes_tab_, &boxes_tab::refused, this,
            [this](const QString& text) { prompts_->message(text.toStdString()); });
    // Undo and redo of a box or flag edit show at once in the fields.
    connect(&doc_.history(), &QUndoStack::indexChanged, boxes_tab_, &boxes_tab::show_selection);
    connect(lights_tab_, &lights_tab::view_changed, this, &main_window::redraw);
    connect(lights_tab_, &lights_tab::change_all_requested, this,
            [this] { run_mesh_command(doc_.change_all_lights(edit_controls_now())); });
    connect(shine_tab_, &shine_tab::apply_all_requested, this, [this] {
        run_mesh_command(doc_.apply_shiny_to_all(edit_controls_now(), texture_panel_->current_texture()));
    });
    center_button_ = new QPushButton("&Center Camera", below);
    center_button_->setObjectName("Button1");
    connect(center_button_, &QPushButton::clicked, this, &main_window::center_camera);
    below_layout->addWidget(tabs_, 1);
    // Center Camera and the render modes beside the tabs, under the view they act on.
    auto* view_controls = new QVBoxLayout;
    view_controls->addWidget(center_button_);
    below_layout->addLayout(view_controls);
    auto* below_area = scrolled(below, left);
    below_area->setObjectName("tabs_area");
    left->addWidget(tree_and_view_);
    left->addWidget(below_area);
    left->setStretchFactor(0, 1);
    left->setStretchFactor(1, 0);

    auto* right = new QWidget;
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 4, 0);
    texture_panel_ = new texture_panel_widget(doc_, right);
    connect(texture_panel_, &texture_panel_widget::edited, this, &main_window::redraw);
    connect(texture_panel_, &texture_panel_widget::pointer_moved, this, [this](const QString& text) {
        position_status_->setText(text);
        // The page view's hint in the interface language.
        if (const QWidget* page = texture_panel_->findChild<QWidget*>("Image1"))
            hint_status_->setText(page->property(long_hint_property).toString());
    });
    right_layout->addWidget(texture_panel_, 1);

    render_group_ = new render_mode_group(below);
    connect(render_group_, &render_mode_group::chosen, this, &main_window::on_render_mode_chosen);
    refresh_render_buttons();
    view_controls->addWidget(render_group_);
    view_controls->addStretch(1);
    auto* right_area = scrolled(right, columns);
    right_area->setObjectName("textures_area");
    right_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    columns->addWidget(left);
    columns->addWidget(right_area);
    columns->setStretchFactor(0, 1);
    columns->setStretchFactor(1, 0);
    // Each part starts at the size its contents ask for where the window allows it.
    left->setSizes({10000, below->sizeHint().height()});
    columns->setSizes(
        {10000, right->minimumSizeHint().width() + right_area->verticalScrollBar()->sizeHint().width()});

    statusBar()->setObjectName("StatusBar1");
    hint_status_ = status_panel(statusBar(), 300, 0);
    selection_status_ = status_panel(statusBar(), 200, 1);
    position_status_ = status_panel(statusBar(), 80, 0, " X=       Y=");
}

void main_window::build_menus() {
    // Each command group adds the items it handles; in File and Special the groups follow one
    // another.
    QMenuBar& bar = *menuBar();
    QMenu& file = add_menu(bar, "File1", "&File");
    QMenu& edit = add_menu(bar, "Edit1", "Edit");
    QMenu& textures = add_menu(bar, "Textures1", "Textures");
    QMenu& special = add_menu(bar, "Special1", "Special");
    files_->add_menu_items(file, level_actions_);
    file.addSeparator();
    textures_->add_menu_items(textures, special, level_actions_);
    mesh_exchange_->add_menu_items(file, special);
    file.addSeparator();
    connect(add_item(file, "Exit1", "E&xit", QKeySequence("Ctrl+X")), &QAction::triggered, this,
            &QWidget::close);
    file.addSeparator();
    files_->add_recent_items(file);

    history_ = std::make_unique<history_commands>(
        doc_, edit, *this,
        history_commands::links{[this] { textures_->textures_changed(); },
                                [this](const user_message& text) { selection_status_->setText(shown(text)); },
                                [this](const char* component, const char* english) {
                                    return interface_->caption(component, english);
                                },
                                [this](const user_message& m) { return shown(m); }});
    QUndoStack& history = doc_.history();
    // Any step done or undone changes what the view shows.
    connect(&history, &QUndoStack::indexChanged, this, [this] { redraw(); });
    connect(&history, &QUndoStack::cleanChanged, this, [this] { refresh_title(); });

    view_ = std::make_unique<view_options>(
        bar, level_actions_, config_.white_background,
        view_options::links{
            *viewport_, scene_, *prompts_, config_path_,
            [this] { reload_gl_textures(say(msg::working), say(msg::loading_new_gl_textures)); },
            [this] { redraw(); }});
    help_->add_to(bar, interface_->window());
    // The language window dressed this window before the menus existed: they take its texts now.
    interface_->add_window(this);
}

void main_window::fit_to_screen() {
    // A comfortable size, never larger than the screen the window opens on (whose desktop may
    // maximise it); every part scrolls or shrinks below it.
    QSize size(1024, 700);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(s->availableGeometry().size());
    resize(size);
}

// ---- status hints ------------------------------------------------------------------------

void main_window::set_hints() {
    // Panel 0 shows the hint of the control under the mouse.
    hints_ = new status_hints(*hint_status_, *view_panel_, *viewport_->container(view_panel_), *tree_, this);
    hints_->set(viewport_, QString()); // the view's own window gets the mouse: it shows Panel1's hint
    hints_->watch_controls(*this);
    // With Enable Lights ticked, a click on a static mesh lights its corners instead of applying.
    hints_->view_hint = [this] {
        if (doc_.selection().kind != selection_kind::static_mesh || !edit_controls_now().lights_enabled)
            return QString();
        return shown(say(msg::lights_click_hint));
    };
}

// ---- after an open or a save ------------------------------------------------------------------

void main_window::refresh_after_open() {
    tree_->fill(doc_.tree());
    // Wide enough for the names, once the window has its size.
    tree_wanted_width_ = tree_->width_for_names();
    if (isVisible()) apply_tree_width();
    startup_report::mark("tree view filled");
    // The texture table has just drawn the pages the uploads are cut from.
    reload_gl_textures(say(msg::loading_named_level, {file_name_of(doc_.current_path())}),
                       say(msg::loading_gl_textures), &doc_.table().pages_bitmap);
    startup_report::mark("texture uploads prepared");
    texture_panel_->refill();
    boxes_tab_->clear();
    refresh_recent_items();
    refresh_title();
    refresh_level_actions();
    selection_status_->clear();
    if (!doc_.catalogue_found())
        hint_status_->setText(shown(say(msg::catalogue_missing)));
    else if (!doc_.catalogue_note().empty())
        hint_status_->setText(shown(doc_.catalogue_note()));
    translate_level_texts();
    redraw();
    startup_report::mark("texture panel and controls");
}

void main_window::apply_tree_width() {
    // Up to two fifths of the room beside the view; never narrower than the user made it.
    const QList<int> sizes = tree_and_view_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int width = std::min(tree_wanted_width_, total * 2 / 5);
    if (sizes.value(0) < width) tree_and_view_->setSizes({width, total - width});
    tree_wanted_width_ = 0;
}

void main_window::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (tree_wanted_width_ > 0) QTimer::singleShot(0, this, [this] { apply_tree_width(); });
}

void main_window::refresh_level_actions() {
    for (auto* action : level_actions_)
        action->setEnabled(doc_.has_level());
}

void main_window::refresh_title() {
    setWindowTitle(QString::fromStdString(doc_.caption()) + "[*]");
    setWindowModified(doc_.modified());
}

void main_window::reload_gl_textures(const user_message& caption, const user_message& line,
                                     const QImage* pages) {
    if (!doc_.level().loaded()) return;
    loading_->show_progress(caption);
    loading_->add_progress_line(line);
    if (pages && !viewport_->has_context()) {
        // The view's OpenGL starts with the window: the pixels are made meanwhile, on a worker.
        load_gl_textures_later(doc_.level(), *pages, *viewport_, viewport_->colour_bits());
    } else {
        const gauge_link link = doc_.gauge_to(*loading_);
        gl_viewport* views[] = {viewport_};
        load_gl_textures(doc_.level(), views, viewport_->colour_bits(), pages);
    }
    loading_->hide_progress();
}

bool main_window::open_path(const QString& path) {
    return files_->open_path(path);
}

void main_window::after_save() {
    refresh_recent_items();
    refresh_title();
    texture_panel_->setTitle(shown(doc_.texture_group_caption()));
    if (auto* root = tree_->topLevelItem(0)) {
        root->setText(0, QString::fromStdString(doc_.current_name()));
        root->setToolTip(0, root->text(0));
    }
}

void main_window::closeEvent(QCloseEvent* e) {
    if (!files_->confirm_close()) {
        e->ignore();
        return;
    }
    language_ = interface_->identifier();
    if (store_) save_settings(*store_, doc_.recent(), language_);
    e->accept();
}

void main_window::refresh_recent_items() {
    files_->show_recent_files(interface_->caption("None1", "None"));
}

// ---- interface language ----------------------------------------------------------------------

void main_window::build_language_wiring() {
    interface_ = std::make_unique<interface_language>(program_dir_, *this, *prompts_, user_dir_);
    interface_->add_window(loading_);
    for (QWidget* w : help_->windows())
        interface_->add_window(w);
    interface_->add_window(remap_);
    interface_->add_window(animated_);
    prompts_ = &interface_->prompts();
    // Texts the window composes while running are not in the language file as they are shown.
    interface_->changed = [this] {
        if (doc_.has_level())
            refresh_title();
        else
            setWindowTitle(interface_->caption("", vellum_version_string));
        refresh_recent_items();
        history_->refresh_items();
        translate_level_texts();
        hints_->refresh();
        help_->readme().show_language(interface_->code());
    };
}

void main_window::translate_level_texts() {
    interface_->translate_level_texts(doc_, *tree_, *texture_panel_);
}

QString main_window::shown(const user_message& m) const {
    return QString::fromStdString(interface_ ? interface_->word(m) : m.english);
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
    const bool was_points = doc_.current_render_mode() == render_mode::points;
    doc_.select(object_tree_panel::node_of(item));
    selection_status_->clear();
    boxes_tab_->show_selection();
    refresh_render_buttons();
    center_camera();
    if (was_points && doc_.current_render_mode() != render_mode::points) explain_no_points();
}

void main_window::explain_no_points() {
    selection_status_->setText(shown(say(msg::points_need_mesh)));
}

void main_window::select_moveable(int n) {
    tree_->select_moveable(n);
}

void main_window::select_lara_or_largest() {
    tree_->select_lara_or_largest(doc_.level());
}

tr_scene& main_window::current_scene() {
    doc_.show_in(scene_);
    return scene_;
}

void main_window::center_camera() {
    if (auto text = viewport_->centre_on(current_scene()))
        if (!text->empty()) selection_status_->setText(shown(*text));
}

void main_window::redraw() {
    viewport_->redraw();
}

void main_window::refresh_render_buttons() {
    render_group_->show_mode(doc_.current_render_mode());
}

void main_window::on_render_mode_chosen(render_mode mode) {
    // A whole moveable has no points mode: the document falls back and the buttons follow.
    if (doc_.set_render_mode(mode) != mode) {
        refresh_render_buttons();
        explain_no_points();
    }
    redraw();
}

void main_window::on_viewport_clicked(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
    if (button != Qt::LeftButton || !doc_.has_level()) return;
    const std::optional<picked_name> hit = viewport_->pick_at(at);
    if (!hit) {
        selection_status_->clear(); // no face: the last face's text would describe nothing here
        return;
    }
    const auto action = click_action_for(keys & Qt::ShiftModifier, keys & Qt::ControlModifier,
                                         keys & Qt::AltModifier, doc_.current_render_mode());
    const click_outcome out =
        doc_.click_face(*hit, action, edit_controls_now(), texture_panel_->current_texture());
    if (!out.status_text.empty()) selection_status_->setText(shown(out.status_text));
    if (out.picked_texture) texture_panel_->set_current_texture(*out.picked_texture);
    if (out.redraw) redraw();
}

edit_controls main_window::edit_controls_now() const {
    edit_controls controls;
    lights_tab_->read_controls(controls);
    shine_tab_->read_controls(controls);
    return controls;
}

void main_window::run_mesh_command(const command_outcome& out) {
    if (!out.message.empty()) prompts_->message(out.message);
    if (out.redraw) redraw();
}

// ---- command groups ---------------------------------------------------------------------------

void main_window::build_commands() {
    const command_host host{doc_, *prompts_, *texture_panel_, [this] { redraw(); }};
    const auto selected_label = [this] {
        const QTreeWidgetItem* item = tree_->currentItem();
        return item ? item->text(0).toStdString() : std::string();
    };
    textures_ = std::make_unique<texture_commands>(
        host, texture_commands::links{
                  *viewport_, *loading_, *animated_,
                  [this] { reload_gl_textures(say(msg::working), say(msg::loading_new_gl_textures)); },
                  [this] { return view_->automatic_gl_update(); }, selected_label,
                  [this] { translate_level_texts(); },
                  [this](const user_message& text) { hint_status_->setText(shown(text)); }});
    mesh_exchange_ = std::make_unique<mesh_exchange_commands>(host, *remap_, selected_label);
    mesh_exchange_->textures_added = [this] { textures_->textures_changed(); };
    files_ = std::make_unique<file_commands>(
        doc_, *prompts_,
        file_commands::links{*loading_, program_dir_ + "/trcatalog.xml", [this] { refresh_after_open(); },
                             [this] { after_save(); },
                             [this](const user_message& text) { hint_status_->setText(shown(text)); },
                             [this](const std::string& folder) {
                                 if (own_prompts_) own_prompts_->start_in(QString::fromStdString(folder));
                             }});
}
