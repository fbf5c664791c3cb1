#include "output/console_report.h"

#include <ctime>

std::string TimeText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

std::string HeaderText(std::string_view start_time) {
  std::string text = "* ";
  text.append(start_time).append(" SAP ").append(kProgramName).append(" ");
  return text.append(kProgramVersion);
}

std::string ListingExecutingText(std::string_view start_time,
                                 std::string_view parameter_text) {
  std::string text = "* ";
  text.append(start_time).append(" ").append(parameter_text);
  return text.append(" State=Executing");
}

std::string SystemText(std::string_view time, std::string_view profile_name,
                       std::string_view report_host, std::string_view destination,
                       std::string_view sysnr, std::string_view client) {
  std::string text = "* ";
  text.append(time).append(" ").append(profile_name);
  for (std::string_view field : {report_host, destination, sysnr, client}) {
    text.append(", ").append(field);
  }
  return text;
}

std::string SingleExecutingText(std::string_view time, std::string_view parameter_text) {
  std::string text = "* ";
  text.append(time).append(" ").append(kProgramName).append(" - ");
  return text.append(parameter_text).append(" State=Executing");
}

std::string ClosingText(std::string_view time) {
  std::string text = "\n* ";
  return text.append(time).append(" SAP ").append(kProgramName).append(" now processed...");
}

void PrintReportLine(std::string_view text, std::FILE* out) {
  ReportLine line(text);
  std::fprintf(out, "%s\n", line.c_str());
}

void PrintSystemState(std::string_view system_text, std::string_view state, std::FILE* out) {
  ReportLine line(system_text);
  std::fprintf(out, "\n%s State=%.*s\n", line.c_str(), static_cast<int>(state.size()),
               state.data());
}

void PrintLabelledLine(std::string_view label, int indent, int width,
                       std::string_view value, std::FILE* out) {
  std::fprintf(out, "%*s%-*.*s : %.*s\n", indent, "", width,
               static_cast<int>(label.size()), label.data(),
               static_cast<int>(value.size()), value.data());
}
