// The data disc burn: libisofs builds an ISO 9660 file system (with Rock
// Ridge, and Joliet names when asked) from the files and folders, or
// genisoimage a UDF bridge image, and libburn writes it as one track, onto a
// drive's disc or into an image file. A UDF image file is genisoimage's own
// output, put in place.
#include "controls/burn/BurnerLibburn.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint> // before libisofs.h
#include <libisofs/libisofs.h>

namespace burnengine {

namespace {

constexpr int kDevicePadding = 300 * 1024; // keeps drives' read-ahead off the end of the track

bool IsImageWriter(const optical::Drive& drive) { return drive.kind != optical::DriveKind::Device; }

QString IsoText(int code)
{
    const char* text = iso_error_to_msg(code);
    return text ? QString::fromUtf8(text) : QString::number(code);
}

// The file system being built; the burn source made from it holds its own reference.
class IsoTree {
public:
    IsoTree() = default;
    IsoTree(const IsoTree&) = delete;
    IsoTree& operator=(const IsoTree&) = delete;
    ~IsoTree()
    {
        if (m_image) iso_image_unref(m_image);
    }

    Status Create(const DataBurnRequest& r)
    {
        if (iso_image_new(r.volume.toUtf8().constData(), &m_image) < 0)
            return Fail(kBurnErrWrite, "Out of memory preparing the disc.");
        iso_tree_set_follow_symlinks(m_image, 1);
        iso_image_set_ignore_aclea(m_image, 3);
        iso_image_set_publisher_id(m_image, r.publisher.toUtf8().constData());
        iso_image_set_application_id(m_image, r.application.toUtf8().constData());
        return {};
    }

    // A file, or a folder with everything in it, at the root.
    Status Add(const QString& path)
    {
        const QFileInfo info(path);
        const QByteArray name = info.fileName().toUtf8(), local = QFile::encodeName(info.absoluteFilePath());
        IsoDir* root = iso_image_get_root(m_image);
        int r = 0;
        if (info.isDir()) {
            IsoDir* dir = nullptr;
            r = iso_tree_add_new_dir(root, name.constData(), &dir);
            if (r >= 0) r = iso_tree_add_dir_rec(m_image, dir, local.constData());
        } else {
            r = iso_tree_add_new_node(m_image, root, name.constData(), local.constData(), nullptr);
        }
        if (r < 0) return Fail(kBurnErrSource, QString("Cannot add %1 to the disc: %2").arg(path, IsoText(r)));
        return {};
    }

    // The disc's bytes, as libburn reads them; nullptr with the reason in `s`.
    burn::burn_source* Source(bool joliet, Status* s)
    {
        IsoWriteOpts* opts = nullptr;
        if (iso_write_opts_new(&opts, 0) < 0) {
            *s = Fail(kBurnErrWrite, "Out of memory preparing the disc.");
            return nullptr;
        }
        iso_write_opts_set_iso_level(opts, 3); // long names and large files
        // Rock Ridge with useful values: files r--r--r--, folders r-xr-xr-x, owned by root.
        iso_write_opts_set_rockridge(opts, 1);
        iso_write_opts_set_replace_mode(opts, 1, 1, 1, 1);
        iso_write_opts_set_joliet(opts, joliet ? 1 : 0);
        iso_write_opts_set_joliet_long_names(opts, 1);
        ::burn_source* source = nullptr;
        const int r = iso_image_create_burn_source(m_image, opts, &source);
        iso_write_opts_free(opts);
        if (r < 0) {
            *s = Fail(kBurnErrSource, "The disc's file system cannot be built: " + IsoText(r));
            return nullptr;
        }
        return reinterpret_cast<burn::burn_source*>(source);
    }

private:
    IsoImage* m_image = nullptr;
};

// Counts a file, or a folder and everything in it.
void CountEntry(const QString& path, int* files, int* folders)
{
    if (!QFileInfo(path).isDir()) {
        ++*files;
        return;
    }
    ++*folders;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++*(it.fileInfo().isDir() ? folders : files);
    }
}

// Percents of the write from libburn's progress, each once and rising.
class PercentWatch {
public:
    explicit PercentWatch(DataBurnEvents& events) : m_events(events) {}
    void At(int sector, int sectors)
    {
        if (sectors > 0) Report(int(std::int64_t(std::max(sector, 0)) * 100 / sectors));
    }
    void Report(int percent)
    {
        percent = std::min(percent, 100);
        if (percent <= m_last) return;
        m_last = percent;
        m_events.Progress(percent);
    }
    void Closing()
    {
        if (m_closing) return;
        m_closing = true;
        Report(100);
        m_events.Finalizing();
    }

private:
    DataBurnEvents& m_events;
    int m_last = 0;
    bool m_closing = false;
};

Status Write(const DataBurnRequest& r, burn::burn_source* source, const std::atomic<bool>& abort,
             DataBurnEvents& events)
{
    const bool image = IsImageWriter(r.drive);
    const std::int64_t padding = image ? 0 : kDevicePadding;
    Status s = CheckRoom(ReadDiscFacts(r.drive, r.use), std::int64_t(source->get_size(source)) + padding);
    if (!s.ok()) return s;
    audioconv::OutputFile file; // the image writer's file until it is complete
    if (image) {
        s = file.Create(r.drive.path);
        if (!s.ok()) return Fail(kBurnErrWrite, s.text);
    }
    {
        GrabbedDrive grabbed;
        s = image ? grabbed.GrabFile(file.TempPath()) : grabbed.Grab(r.drive);
        if (!s.ok()) return s;
        DiscLayout layout;
        layout.AddTrack(source, BURN_MODE1, int(padding));
        events.StartBurning();
        PercentWatch percents(events);
        s = WriteDisc(grabbed.Get(), layout.disc, WriteSettings{r.speed, false, r.closeDisc}, abort,
                      [&](burn::burn_drive_status status, const burn::burn_progress& p) {
                          if (IsClosing(status)) percents.Closing();
                          else percents.At(p.sector, p.sectors);
                      },
                      image ? QFileInfo(r.drive.path).absolutePath() : QString());
        if (!s.ok()) return s;
        percents.Closing();
    }
    // A short image is no disc, whatever the writer said.
    const std::int64_t size = std::int64_t(source->get_size(source));
    if (image && file.Size() < size)
        return Fail(kBurnErrWrite, QString("The image was not written whole: %1 of %2 bytes.").arg(file.Size()).arg(size));
    if (image) {
        s = file.Commit();
        if (!s.ok()) return Fail(kBurnErrWrite, s.text);
    }
    return {};
}

} // namespace

Status CheckRoom(const DiscFacts& facts, std::int64_t bytes)
{
    if (!facts.writable) return Fail(facts.loaded ? kBurnErrMedia : kBurnErrNoDrive, facts.state);
    if (facts.freeBytes == kUnknownBytes || bytes <= facts.freeBytes) return {};
    return Fail(kBurnErrTooBig, QString("The files need %1 MB, the disc holds %2 MB.")
                                    .arg((bytes + 1048575) / 1048576)
                                    .arg(facts.freeBytes / 1048576));
}

Status CheckDataFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return Fail(kBurnErrSource, "The file does not exist: " + path);
    if (!info.isReadable() || !(info.isFile() || info.isDir()))
        return Fail(kBurnErrSource, "The file cannot be read: " + path);
    return {};
}

Status AddDataFile(QStringList* files, const QString& path)
{
    const Status s = CheckDataFile(path);
    if (!s.ok()) return s;
    const QString name = QFileInfo(path).fileName();
    for (const QString& f : *files)
        if (QFileInfo(f).fileName() == name)
            return Fail(kBurnErrSource, "A file named " + name + " is already on the disc.");
    files->append(path);
    return {};
}

namespace {

// The image writer's image: genisoimage writes it under the hidden name
// beside the final one, which it takes once complete; no second copy.
Status WriteUdfImageFile(const DataBurnRequest& request, std::int64_t bytes, const std::atomic<bool>& abort,
                         DataBurnEvents& events)
{
    audioconv::OutputFile file;
    Status s = file.Create(request.drive.path);
    if (!s.ok()) return Fail(kBurnErrWrite, s.text);
    events.StartBurning();
    PercentWatch percents(events);
    s = MakeUdfImage(request, file.TempPath(), abort, [&](int percent) { percents.Report(percent); });
    if (!s.ok()) return s;
    if (file.Size() < bytes)
        return Fail(kBurnErrWrite, QString("The image was not written whole: %1 of %2 bytes.").arg(file.Size()).arg(bytes));
    percents.Closing();
    s = file.Commit();
    return s.ok() ? s : Fail(kBurnErrWrite, s.text);
}

// A drive's disc: the image is made in a temporary folder, then written.
Status BurnUdfThroughImage(const DataBurnRequest& request, const std::atomic<bool>& abort, DataBurnEvents& events)
{
    QTemporaryDir staging;
    if (!staging.isValid())
        return Fail(kBurnErrWrite, "No temporary folder for the disc's image: " + staging.errorString());
    const QString image = staging.filePath("udf.iso");
    Status s = MakeUdfImage(request, image, abort);
    if (!s.ok()) return s;
    burn::burn_source* source = burn::burn_file_source_new(QFile::encodeName(image).constData(), nullptr);
    if (!source) return Fail(kBurnErrSource, "The disc's image cannot be read: " + image);
    s = Write(request, source, abort, events);
    burn::burn_source_free(source);
    return s;
}

Status BurnUdf(const DataBurnRequest& request, const std::atomic<bool>& abort, DataBurnEvents& events)
{
    std::int64_t bytes = 0;
    Status s = UdfImageSize(request, abort, &bytes);
    if (!s.ok()) return s;
    const bool image = IsImageWriter(request.drive);
    s = CheckRoom(ReadDiscFacts(request.drive, request.use), bytes + (image ? 0 : kDevicePadding));
    if (!s.ok()) return s;
    return image ? WriteUdfImageFile(request, bytes, abort, events) : BurnUdfThroughImage(request, abort, events);
}

} // namespace

Status BurnDataDisc(const DataBurnRequest& request, const std::atomic<bool>& abort, DataBurnEvents& events)
{
    QString why;
    if (!StartLibraries(&why)) return Fail(kBurnErrNotInstalled, why);
    if (request.files.isEmpty()) return Fail(kBurnErrNoFiles, "There are no files to burn.");
    IsoTree tree; // only for discs without UDF
    Status s = request.udf ? Status{} : tree.Create(request);
    int files = 0, folders = 0;
    for (const QString& path : request.files) {
        if (!s.ok()) return s;
        if (abort) return Fail(kBurnErrAborted, "The burn was aborted.");
        events.AddingFile(path);
        s = CheckDataFile(path);
        if (s.ok() && !request.udf) s = tree.Add(path);
        if (s.ok()) CountEntry(path, &files, &folders);
    }
    if (!s.ok()) return s;
    events.FilesToBurn(files, folders);
    if (request.udf) return BurnUdf(request, abort, events);
    burn::burn_source* source = tree.Source(request.joliet, &s);
    if (!source) return s;
    s = Write(request, source, abort, events);
    burn::burn_source_free(source);
    return s;
}

} // namespace burnengine
