#include "waveview/waveform_commands.h"

namespace nuv {

const std::vector<WaveformCommand>& WaveformCommands() {
  static const std::vector<WaveformCommand> kCommands = {
      {kCmdDrawWaveforms, "Рисовать волновые формы", true},
      {kCmdCommonCursor, "Рисовать общий вертикальный курсор", true},
      {kCmdDasMarks, "Выводить отметки системы сбора данных", true},
      {kCmdDbPhaseMarks, "Отображать отметки фаз из БД", true},
      {kCmdAddChannels, "Добавить каналы для визуализации и обработки", false},
      {kCmdSelectStationChannel, "Выбрать станцию и канал...", false},
      {kCmdNewPane, "Создать новое окно", false},
      {kCmdDeleteActive, "Удалить активные окна", false},
      {kCmdActivateAll, "Сделать активными все окна", false},
      {kCmdDeactivateAll, "Деактивизировать все окна", false},
      {kCmdShowTransformed, "Выбрать преобразованный сигнал", false},
      {kCmdShowSource, "Выбрать исходный сигнал", false},
      {kCmdRedraw, "Перерисовать", false},
      {kCmdFitAll, "Во все окно", false},
      {kCmdSortDbNumber, "по номеру в БД", false},
      {kCmdSortPhaseTime, "по времени прихода фаз", false},
      {kCmdSortAlphabet, "по алфавиту", false},
      {kCmdSortScreenNumber, "по номеру на экране", false},
      {kCmdSortDistance, "по расстоянию от эпицентра", false},
      {kCmdSortAmplitude, "по амплитуде ", false},
      {kCmdSortMb, "по магнитуде Mb", false},
      {kCmdSortMenu, "Сортировать...", false},
      {kCmdNormalizeAmplitude, "Нормализовать амплитуду", true},
      {kCmdSettings, "Установки...", false},
      {kCmdClearIntervals, "Удалить интервальные отметки", false},
      {kCmdShiftLeft, "Сдвинуть график влево...", false},
      {kCmdShiftRight, "Сдвинуть график вправо", false},
      {kCmdStretchHorizontal, "Растянуть по горизонтали", false},
      {kCmdCompressHorizontal, "Сжать по горизонтали", false},
      {kCmdStretchVertical, "Растянуть по вертикали", false},
      {kCmdCompressVertical, "Сжать по вертикали", false},
      {kCmdMoveUp, "Сдвинуть график вверх...", false},
      {kCmdMoveDown, "Сдвинуть график вниз...", false},
      {kCmdCentre, "Отцентрировать график волновых форм", false},
      {kCmdBack, "Вернуться назад", false},
      {kCmdSameScale, "Привести исходный и преобразованный сигнал к одному масштабу", false},
      {kCmdAlignAmplitude, "Выровнять масштаб по амплитуде", false},
      {kCmdAlignTime, "Выровнять масштаб по времени", true},
      {kCmdAlignMarks, "Выровнять отметки", false},
      {kCmdLoadChannelList, "Загрузить список каналов", false},
      {kCmdSaveChannelList, "Сохранить список каналов", false},
      {kCmdLoadCss, "Загрузить данные в формате CSS 3.0...", false},
      {kCmdSaveCss, "Сохранить данные в формате CSS 3.0 ...", false},
      {kCmdPrint, "Печать", false},
      {kCmdMenuStretchVertical, "Вертикали", false},
      {kCmdMenuStretchHorizontal, "Горизонтали", false},
      {kCmdMenuCompressVertical, "вертикали", false},
      {kCmdMenuCompressHorizontal, "горизонтали", false},
      {kCmdMenuCentre, "Отцентрировать", false},
  };
  return kCommands;
}

const char* WaveformCommandText(int id) {
  for (const WaveformCommand& c : WaveformCommands())
    if (c.id == id) return c.text;
  return "";
}

}  // namespace nuv
