// The page's style sheet, kept apart from the code that writes the page so that it is edited as CSS.
#pragma once

namespace tintvale::qc::pageparts {

inline constexpr char kStyle[] = R"(html{-webkit-print-color-adjust:exact;print-color-adjust:exact}
body{font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color:#1d232b;background:#f4f5f7;
margin:0}
main{max-width:1180px;margin:0 auto;padding:24px 28px 40px}
header{display:flex;align-items:center;justify-content:space-between;gap:16px;border-bottom:2px solid #d5d9e0;
padding-bottom:12px}
h1{font-size:22px;margin:0;overflow-wrap:anywhere}h2{font-size:17px;margin:22px 0 8px}
svg.verdict{flex:none}.verdict text{font:700 22px system-ui,sans-serif;letter-spacing:.06em;fill:#fff}
.verdict .pass{fill:#2e7d32}.verdict .fail{fill:#c62828}.verdict .warn{fill:#b26a00}
.groups tr.fail td{background:#fdecea}.groups tr.warn td,.groups tr.empty td{background:#fff4e0}
.warnings{color:#b26a00;font-weight:600;margin:4px 0}
section{background:#fff;border:1px solid #dde1e7;border-radius:8px;padding:4px 18px 16px;margin-top:18px}
table{border-collapse:collapse}
.summary{display:grid;grid-template-columns:repeat(auto-fit,minmax(330px,1fr));gap:0 32px;margin-top:12px;
align-items:start}
.summary th,.conditions th{text-align:left;font-weight:600;padding:3px 14px 3px 0;color:#4a5563;
white-space:nowrap;vertical-align:top}
.summary td,.conditions td{padding:3px 14px 3px 0;vertical-align:top;overflow-wrap:break-word}
.conditions thead th{color:#1d232b}.conditions tr.differs td{color:#b71c1c;font-weight:700}
.note{color:#5b6573;font-size:12.5px;margin:2px 0 8px}
svg{max-width:100%;height:auto;display:block}svg.plot{width:100%}svg.square{max-width:624px}
svg text{font:11px system-ui,sans-serif;fill:#39414c}
.halo{paint-order:stroke;stroke:#fff;stroke-width:3px;stroke-linejoin:round}
.patch .lbl{font-size:11px}.patch .de{font-size:12px;font-weight:700}
.patch text.light{fill:#fff}.patch text.dark{fill:#111}
.patch .outline{fill:none;stroke:#e01b24;stroke-width:4}
.clipmark{fill:#111;stroke:#fff;stroke-width:1.5}
.axis line,.grid{stroke:#d5d9e0}.zero{stroke:#8d96a3}.bar{fill:#6f8fb8}.bar.over{fill:#d64541}
.tol{stroke:#e01b24;stroke-width:2;stroke-dasharray:6 4}.mark{stroke:#39414c;stroke-dasharray:2 3}
.cdf{fill:none;stroke:#2b5797;stroke-width:2}
.ref{fill:none;stroke-width:2}.smp{fill:none;stroke-width:2;stroke-dasharray:6 4}
.ref.outline,.smp.outline{stroke:#39414c;stroke-width:4}
.shift{stroke:#39414c;stroke-width:1.2}.start{stroke:#39414c;stroke-width:.8}.scale{stroke:#1d232b;stroke-width:2}
.patches{width:100%;font-variant-numeric:tabular-nums}
.patches th{position:sticky;top:0;background:#eef0f4;text-align:right;padding:5px 8px;font-weight:600}
.patches td{text-align:right;padding:3px 8px;border-top:1px solid #eceef2}
.patches td.name,.patches th.name{text-align:left}
.patches tr.over td{background:#fdecea}.patches tr.over td.de{color:#b71c1c;font-weight:700}
.patches tr.over td:first-child{border-left:4px solid #c62828}
.sw{width:26px;padding:1px 2px!important}.sw svg{width:26px;height:16px}.sw.clip svg{outline:2px dashed #111;outline-offset:-4px}
.legend{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:6px 22px}
.key{display:inline-block;width:26px;border-top:3px solid;vertical-align:middle;margin-right:6px}
.key.light{outline:1px solid #39414c}
footer{color:#5b6573;font-size:12px;margin-top:22px}
@page{margin:12mm}
@media print{body{background:#fff;font-size:11px}main{max-width:none;padding:0}
section{border:0;border-radius:0;padding:0;margin-top:12px}h2{font-size:14px;margin:12px 0 4px;break-after:avoid}
.keep,footer,tr{break-inside:avoid}.patches th{position:static}.patches{font-size:9.5px}
.patches th,.patches td{padding:2px 4px}})";

} // namespace tintvale::qc::pageparts
