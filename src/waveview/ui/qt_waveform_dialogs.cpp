// The dialogs of the waveform window shown for real.

#include <QCursor>
#include <QMenu>

#include "waveview/ui/archive_file_list_dialog.h"
#include "waveview/ui/channel_dialogs.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/waveform_commands.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

// "Выбрать сегмент из БД": the archive's file list of the station.
SegmentBrowser FileListBrowser(Workstation& ws) {
  return [&ws](QWidget* parent, int station, const std::vector<std::string>& channels,
               const std::optional<ArchiveSegment>& typed) -> std::optional<ArchiveSegment> {
    CArchiveFileListDlg dlg(ws, station, channels, parent);
    // "Показывать файлы с ... по" offers the window typed in the selection.
    if (typed) dlg.SetTimes(typed->start, typed->start + typed->duration);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return ArchiveSegment{dlg.start(), dlg.duration()};
  };
}

class QtWaveformDialogs : public WaveformDialogs {
 public:
  bool SelectChannels(waveform& window) override {
    CSelectChannelsDlg dlg(window.workstation(), window.selection(), &window);
    dlg.browseSegments = FileListBrowser(window.workstation());
    dlg.sessionWindow = &window.sessionWindow();
    return dlg.exec() == QDialog::Accepted;
  }

  std::optional<StationChannelChoice> SelectStationChannel(
      waveform& window, const std::optional<StationChannelChoice>& preset) override {
    std::optional<CSelectStationChannelDlg::Result> p;
    if (preset)
      p = CSelectStationChannelDlg::Result{preset->station, preset->channel, preset->start,
                                           preset->length};
    CSelectStationChannelDlg dlg(window.workstation(), p, &window);
    dlg.browseSegments = FileListBrowser(window.workstation());
    dlg.OfferSessionWindow(window.sessionWindow());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const auto& r = dlg.choice();
    window.sessionWindow() = ArchiveSegment{r.start, r.length};
    return StationChannelChoice{r.station, r.channel, r.start, r.length};
  }

  std::optional<std::string> SaveChannelListName(waveform& window) override {
    CSaveChannelListDlg dlg(window.workstation(), &window);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.name();
  }

  std::optional<std::string> LoadChannelListName(waveform& window) override {
    CLoadChannelListDlg dlg(window.workstation(), &window);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.chosen();
  }

  bool EditScale(QWidget* parent, double& ampMax, double& ampMin, double& transMax,
                 double& transMin) override {
    CScaleDlg dlg(ampMax, ampMin, transMax, transMin, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    ampMax = dlg.value(1162);
    ampMin = dlg.value(1145);
    transMax = dlg.value(1146);
    transMin = dlg.value(1147);
    return true;
  }

  std::optional<int> ChooseSort(waveform& window) override {
    QMenu menu(&window);
    for (int id : {kCmdSortDbNumber, kCmdSortPhaseTime, kCmdSortAlphabet, kCmdSortScreenNumber,
                   kCmdSortDistance, kCmdSortAmplitude, kCmdSortMb})
      menu.addAction(QString::fromUtf8(WaveformCommandText(id)))->setData(id);
    QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen) return std::nullopt;
    return chosen->data().toInt();
  }
};

}  // namespace

std::unique_ptr<WaveformDialogs> MakeQtWaveformDialogs() {
  return std::make_unique<QtWaveformDialogs>();
}

}  // namespace nuv
