#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job: a report from the demo company database.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
mkdir -p "$root/out"
db="$root/out/demo.sqlite"
[ -f "$db" ] || "$root/build/src/nvrptsales" demo-db "$db"
# The sales register of the current financial period, as rows.
"$root/build/src/nvrptsales" query --db "$db" \
  "select s.saleid, s.saledate, c.partyname as customername, sb.productid, sb.qty, sb.price,
          sb.TTLValue + sb.TTLSalestax as NetValue
     from sales s join salesbody sb on s.saleid = sb.saleid
     join parties c on c.partyid = s.customerid
    where s.saledate >= (select Value from Project_registry where registrykey = 'periodstart')
    order by s.saleid, sb.SrNo" | head -n 25
